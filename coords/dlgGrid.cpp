#include "coords/dlgGrid.h"

#include "coords/GridComponent.h"
#include "coords/Utm.h"
#include "model/TextNumber.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* NewBox(const char* name, int maxLength, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return box;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

dlgGrid::dlgGrid(const ProgramState& state, UserInteraction& ui, GridComponentSource component,
                 QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), component_(std::move(component))
{
    setObjectName(QStringLiteral("dlgGrid"));
    setWindowTitle(QStringLiteral("Navora - Grid input"));
    setModal(true);

    txtLetter = NewBox("txtLetter", 1, this);
    txtSheet = NewBox("txtSheet", 2, this);
    txtNorth = NewBox("txtNorth", 7, this);
    txtEast = NewBox("txtEast", 6, this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Label3 = NewLabel("Label3", QStringLiteral("Sheet"), this);
    Label2 = NewLabel("Label2", QStringLiteral("Northing"), this);
    Label1 = NewLabel("Label1", QStringLiteral("Easting"), this);

    const int figureWidth = txtNorth->fontMetrics().horizontalAdvance(QStringLiteral("00000000"));
    txtLetter->setFixedWidth(txtLetter->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    txtSheet->setFixedWidth(txtSheet->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    txtNorth->setFixedWidth(figureWidth);
    txtEast->setFixedWidth(figureWidth);

    auto* fields = new QGridLayout;
    fields->addWidget(Label3, 0, 0);
    fields->addWidget(Label1, 0, 1);
    fields->addWidget(Label2, 0, 2);
    auto* sheetRow = new QHBoxLayout;
    sheetRow->setSpacing(2);
    sheetRow->addWidget(txtSheet);
    sheetRow->addWidget(txtLetter);
    sheetRow->addStretch();
    fields->addLayout(sheetRow, 1, 0);
    fields->addWidget(txtEast, 1, 1);
    fields->addWidget(txtNorth, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(txtSheet, txtLetter);
    setTabOrder(txtLetter, txtEast);
    setTabOrder(txtEast, txtNorth);
    setTabOrder(txtNorth, OKButton);
    setTabOrder(OKButton, CancelButton);

    txtLetter->setVisible(false);
    for (QLineEdit* box : {txtLetter, txtSheet, txtNorth, txtEast})
        box->installEventFilter(this);

    connect(OKButton, &QPushButton::clicked, this, &dlgGrid::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgGrid::CancelButton_Click);
}

void dlgGrid::ApplySelection(const GridSelection& selection)
{
    Label3->setText(selection.sheetLabel);
    txtLetter->setVisible(selection.letterVisible);
}

void dlgGrid::ApplySheetState(const QString& grid, bool useSheetId)
{
    const bool irish = grid == u"OSNI" || grid == u"OSRoI";
    const bool enabled = grid == u"UTM" || (grid == u"OSGB" && useSheetId);
    txtSheet->setVisible(!irish);
    txtSheet->setEnabled(enabled);
    txtSheet->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    QPalette palette = txtSheet->palette();
    const QColor background =
        enabled ? QApplication::palette().color(QPalette::Base)
                : QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    palette.setColor(QPalette::Active, QPalette::Base, background);
    palette.setColor(QPalette::Inactive, QPalette::Base, background);
    palette.setColor(QPalette::Disabled, QPalette::Base, background);
    txtSheet->setPalette(palette);
}

void dlgGrid::ApplyGrid(const QString& grid, bool useSheetId, const GridSelection& selection)
{
    if (grid != u"OSGB" && grid != u"OSNI" && grid != u"OSRoI" && grid != u"UTM")
        return;
    ApplySelection(selection);
    ApplySheetState(grid, useSheetId);
}

int dlgGrid::Ask(EditorPositionFields& fields)
{
    fields_ = &fields;
    const int result = exec();
    fields_ = nullptr;
    return result;
}

bool dlgGrid::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return FilterKey(box, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut && (box == txtEast || box == txtNorth)) {
        // Checked when the user moves on within the dialog; leaving for
        // Cancel, or the window losing the focus, checks nothing.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool movedOn = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                             reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
        if (movedOn && !validating_ && isVisible() && QApplication::focusWidget() != CancelButton)
            ValidateField(box);
    }
    return QDialog::eventFilter(watched, event);
}

bool dlgGrid::FilterKey(QLineEdit* box, QKeyEvent* key)
{
    const QString text = key->text();
    // Keys that type nothing (arrows, Home, Delete), control keys (Tab, Enter,
    // Backspace) and shortcuts pass as they are.
    if (text.isEmpty() || !text.front().isPrint() ||
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (text.size() != 1)
        return true;
    std::optional<QChar> accepted;
    if (box == txtLetter)
        accepted = FilterLetterKey(text.front());
    else if (box == txtSheet)
        accepted = FilterSheetKey(text.front(), state_.currentGrid);
    else
        accepted = FilterDigitKey(text.front());
    if (!accepted)
        return true; // discarded
    if (*accepted == text.front())
        return false;
    // Typed in lower case, wanted in upper case: insert the capital instead.
    QKeyEvent upper(key->type(), key->key(), key->modifiers(), QString(*accepted),
                    key->isAutoRepeat(), ushort(key->count()));
    QApplication::sendEvent(box, &upper);
    return true;
}

bool dlgGrid::ValidateField(QLineEdit* box)
{
    const std::optional<QString> error =
        box == txtEast ? EastingError(box->text(), state_.currentGrid, state_.useSheetId)
                       : NorthingError(box->text(), state_.currentGrid, state_.useSheetId);
    if (!error)
        return true;
    validating_ = true;
    ui_.Message(*error);
    box->setFocus(Qt::OtherFocusReason);
    validating_ = false;
    return false;
}

dlgGrid::Outcome dlgGrid::Convert(double& latitude, double& longitude)
{
    const QString& grid = state_.currentGrid;
    if (grid == u"UTM") {
        const std::optional<int> zone = ReadZone(txtSheet->text());
        if (!zone) {
            ui_.Message(kZoneError);
            txtSheet->setFocus(Qt::OtherFocusReason);
            return Outcome::StayOpen;
        }
        const QString band = txtLetter->text();
        if (band.size() != 1 || !FilterLetterKey(band.front())) {
            ui_.Message(kBandError);
            txtLetter->setFocus(Qt::OtherFocusReason);
            return Outcome::StayOpen;
        }
        const std::int16_t status = LatLonFromUtm(
            static_cast<std::int16_t>(*zone), band.toUpper(), LeadingNumber(txtEast->text()),
            LeadingNumber(txtNorth->text()), latitude, longitude);
        return status == 0 ? Outcome::Converted : Outcome::Failed;
    }
    const auto metres =
        ReadGridReference(grid, state_.useSheetId,
                          GridReference{txtSheet->text(), txtEast->text(), txtNorth->text()});
    if (!metres) {
        // Square letters outside the tables (pasted in): the reference names no place.
        ShowGiqError(Giq::kInvalidCoordinate, ui_);
        return Outcome::Failed;
    }
    double height = 0;
    const std::int32_t status = GridToLatLon(grid, component_(), ui_, metres->first, metres->second,
                                             height, latitude, longitude);
    return status == Giq::kOk ? Outcome::Converted : Outcome::Failed;
}

void dlgGrid::OKButton_Click()
{
    for (QLineEdit* box : {txtEast, txtNorth}) {
        if (!ValidateField(box)) {
            box->setSelection(box->cursorPosition(), 6);
            return;
        }
    }
    double latitude = 0;
    double longitude = 0;
    const Outcome outcome = Convert(latitude, longitude);
    if (outcome == Outcome::StayOpen)
        return;
    if (outcome == Outcome::Converted && fields_)
        WritePosition(latitude, longitude, *fields_);
    // Hidden also after a failed conversion: its message has been shown and
    // the editor's fields keep their values.
    accept();
}

void dlgGrid::CancelButton_Click()
{
    reject();
}

dlgGrid& SharedGridDialog(const ProgramState& state, UserInteraction& ui, QWidget* parent)
{
    static QPointer<dlgGrid> dialog;
    if (!dialog) {
        dialog = new dlgGrid(state, ui, DefaultGridComponent, parent);
        if (!parent)
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, dialog, &QObject::deleteLater);
    }
    return *dialog;
}

void SelectGrid(const QString& grid, const ProgramState& state, UserInteraction& ui,
                QWidget* parent)
{
    GridSelection& selection = SharedGridSelection();
    SetGrid(grid, selection, ui);
    SharedGridDialog(state, ui, parent).ApplyGrid(grid, state.useSheetId, selection);
}
