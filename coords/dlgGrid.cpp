#include "coords/dlgGrid.h"

#include "coords/GridConversion.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

    // Room for seven figures and the box's frame.
    const int figureWidth = txtNorth->fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    txtLetter->setFixedWidth(txtLetter->fontMetrics().horizontalAdvance(QStringLiteral("000")));
    txtSheet->setFixedWidth(txtSheet->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    txtNorth->setFixedWidth(figureWidth);
    txtEast->setFixedWidth(figureWidth);

    // The sheet or zone and the band letter in a column of their own, which
    // the Irish grids hide whole.
    sheetColumn_ = new QWidget(this);
    auto* sheet = new QGridLayout(sheetColumn_);
    sheet->setContentsMargins(0, 0, 0, 0);
    sheet->setHorizontalSpacing(2);
    sheet->addWidget(Label3, 0, 0, 1, 3);
    sheet->addWidget(txtSheet, 1, 0);
    sheet->addWidget(txtLetter, 1, 1);
    sheet->setColumnStretch(2, 1);
    auto* fields = new QGridLayout;
    fields->addWidget(sheetColumn_, 0, 0, 2, 1);
    fields->addWidget(Label1, 0, 1);
    fields->addWidget(Label2, 0, 2);
    fields->addWidget(txtEast, 1, 1);
    fields->addWidget(txtNorth, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    // The boxes keep to the left; the room the caption needs stays on the right.
    auto* fieldsRow = new QHBoxLayout;
    fieldsRow->addLayout(fields);
    fieldsRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldsRow);
    layout->addLayout(buttons);
    // Wide enough for the whole caption in the title bar, with room for the
    // window's own buttons beside it.
    const int captionWidth =
        fontMetrics().horizontalAdvance(windowTitle()) * 3 / 2 + fontMetrics().height() * 6;
    layout->addSpacerItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum));
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

void dlgGrid::ApplyGrid(const QString& grid, bool useSheetId)
{
    if (!IsGridName(grid))
        return;
    Label3->setText(grid == u"OSGB"  ? QStringLiteral("Sheet")
                    : grid == u"UTM" ? QStringLiteral("Zone")
                                     : QString());
    txtLetter->setVisible(grid == u"UTM");
    ApplySheetState(grid, useSheetId);
}

void dlgGrid::ApplySheetState(const QString& grid, bool useSheetId)
{
    const bool irish = grid == u"OSNI" || grid == u"OSRoI";
    const bool enabled = grid == u"UTM" || (grid == u"OSGB" && useSheetId);
    // The Irish grids have neither sheet nor zone: no room is kept for them.
    sheetColumn_->setVisible(!irish);
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
        box == txtEast
            ? EastingError(box->text(), state_.currentGrid, state_.useSheetId)
            : NorthingError(box->text(), state_.currentGrid, state_.useSheetId, txtLetter->text());
    if (!error)
        return true;
    validating_ = true;
    ui_.Message(*error);
    box->setFocus(Qt::OtherFocusReason);
    validating_ = false;
    return false;
}

void dlgGrid::OKButton_Click()
{
    for (QLineEdit* box : {txtEast, txtNorth}) {
        if (!ValidateField(box)) {
            box->setSelection(box->cursorPosition(), 6);
            return;
        }
    }
    const PositionFromReference position = ReferenceToPosition(
        state_.currentGrid, state_.useSheetId, component_, ui_,
        GridReference{txtSheet->text(), txtEast->text(), txtNorth->text(), txtLetter->text()});
    if (position.status == ReferenceStatus::BadZone ||
        position.status == ReferenceStatus::BadBand) {
        (position.status == ReferenceStatus::BadZone ? txtSheet : txtLetter)
            ->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (position.status == ReferenceStatus::Converted && fields_)
        WritePosition(position.latitude, position.longitude, *fields_);
    // Hidden also after a failed conversion: its message has been shown and
    // the editor's fields keep their values.
    accept();
}

void dlgGrid::CancelButton_Click()
{
    reject();
}
