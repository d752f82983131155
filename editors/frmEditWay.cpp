#include "editors/frmEditWay.h"

#include "coords/dlgGrid.h"
#include "editors/TypedKey.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A box as wide as `figures` characters of its fixed-pitch font, and a little.
QLineEdit* NewBox(QWidget* parent, const char* name, int maxLength, const QString& toolTip,
                  int figures)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setToolTip(toolTip);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QString(figures + 2, u'0')));
    return box;
}

// An option pair in a frame of its own, so that each pair is exclusive by itself.
std::array<QRadioButton*, 2> NewPair(QWidget* parent, const char* name, const QString& first,
                                     const QString& second, QHBoxLayout*& row)
{
    auto* frame = new QWidget(parent);
    row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    std::array<QRadioButton*, 2> pair{new QRadioButton(first, frame),
                                      new QRadioButton(second, frame)};
    for (int i = 0; i < 2; ++i) {
        pair[i]->setObjectName(QString::fromLatin1(name) + QString::number(i));
        row->addWidget(pair[i]);
    }
    row->addStretch();
    return pair;
}

int Chosen(const std::array<QRadioButton*, 2>& pair)
{
    return pair[0]->isChecked() ? 0 : pair[1]->isChecked() ? 1 : -1;
}

void Choose(const std::array<QRadioButton*, 2>& pair, int index)
{
    if (index == 0 || index == 1)
        pair[size_t(index)]->setChecked(true);
}

} // namespace

frmEditWay::frmEditWay(Workspace& workspace, dlgGrid& grid, const IconPictures& pictures,
                       QWidget* parent)
    : QDialog(parent), workspace_(workspace), grid_(grid)
{
    setObjectName(QStringLiteral("frmEditWay"));
    setWindowTitle(QStringLiteral("Navora - Waypoint Details"));
    setModal(true);

    txtID = NewBox(this, "txtID", 6, QStringLiteral("Waypoint name"), 6);
    // As wide as the longitude's degrees, so that the minutes line up.
    txtLat = NewBox(this, "txtLat", 2, QStringLiteral("Format DD"), 3);
    txtLat->setAlignment(Qt::AlignRight);
    TxtLatMin = NewBox(this, "TxtLatMin", 6, QStringLiteral("Format MM.mmm"), 6);
    txtLon = NewBox(this, "txtLon", 3, QStringLiteral("Format DDD"), 3);
    txtLon->setAlignment(Qt::AlignRight);
    txtLonMin = NewBox(this, "txtLonMin", 6, QStringLiteral("Format MM.mmm"), 6);
    txtAlt = NewBox(this, "txtAlt", 8, QStringLiteral("Format 0000000"), 8);
    txtDesc = NewBox(this, "txtDesc", 20, QString(), 20);

    comboIcon = new QComboBox(this);
    comboIcon->setObjectName(QStringLiteral("comboIcon"));
    comboIcon->setEditable(true);
    comboIcon->setInsertPolicy(QComboBox::NoInsert);
    for (char letter = 'a'; letter <= 't'; ++letter) {
        const QString key(QChar::fromLatin1(letter));
        comboIcon->addItem(pictures(key), key);
    }
    comboIcon->setCurrentIndex(-1);

    QHBoxLayout* nsRow = nullptr;
    QHBoxLayout* weRow = nullptr;
    QHBoxLayout* mfRow = nullptr;
    optNS = NewPair(this, "optNS", QStringLiteral("N"), QStringLiteral("S"), nsRow);
    optWE = NewPair(this, "optWE", QStringLiteral("W"), QStringLiteral("E"), weRow);
    optMF = NewPair(this, "optMF", QStringLiteral("m"), QStringLiteral("f"), mfRow);

    cmdGrid = new QPushButton(QStringLiteral("OSGB"), this);
    cmdGrid->setObjectName(QStringLiteral("cmdGrid"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // A click on a button leaves the focus in the box: OK checks every box
    // itself, and Cancel and the grid button need no check.
    for (QPushButton* button : {cmdGrid, cmdOK, cmdCancel}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
    }

    const auto label = [this](const QString& text) { return new QLabel(text, this); };
    const auto pairOf = [](QRadioButton* button) { return button->parentWidget(); };
    const auto inRow = [this](std::initializer_list<QWidget*> widgets) {
        auto* row = new QHBoxLayout;
        for (QWidget* widget : widgets)
            row->addWidget(widget);
        row->addStretch();
        return row;
    };
    auto* fields = new QGridLayout;
    fields->addWidget(label(QStringLiteral("Waypoint ID")), 0, 0);
    fields->addLayout(inRow({txtID}), 0, 1);
    fields->addWidget(label(QStringLiteral("Latitude")), 1, 0);
    fields->addLayout(inRow({txtLat, TxtLatMin}), 1, 1);
    fields->addWidget(pairOf(optNS[0]), 1, 2);
    fields->addWidget(label(QStringLiteral("Longitude")), 2, 0);
    fields->addLayout(inRow({txtLon, txtLonMin}), 2, 1);
    fields->addWidget(pairOf(optWE[0]), 2, 2);
    fields->addWidget(label(QStringLiteral("Altitude")), 3, 0);
    fields->addLayout(inRow({txtAlt}), 3, 1);
    fields->addWidget(pairOf(optMF[0]), 3, 2);
    fields->addWidget(label(QStringLiteral("Description")), 4, 0);
    fields->addWidget(txtDesc, 4, 1, 1, 2);
    fields->addWidget(label(QStringLiteral("Icon")), 5, 0);
    fields->addLayout(inRow({comboIcon}), 5, 1);
    fields->addWidget(cmdGrid, 5, 2, Qt::AlignLeft);
    fields->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {txtID,     txtLat,    TxtLatMin, optNS[0], optNS[1], txtLon,
                        txtLonMin, optWE[0],  optWE[1],  txtAlt,   optMF[0], optMF[1],
                        txtDesc,   comboIcon, cmdGrid,   cmdOK,    cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QWidget* box : {static_cast<QWidget*>(txtID), static_cast<QWidget*>(txtLat),
                         static_cast<QWidget*>(TxtLatMin), static_cast<QWidget*>(txtLon),
                         static_cast<QWidget*>(txtLonMin), static_cast<QWidget*>(txtAlt),
                         static_cast<QWidget*>(txtDesc), static_cast<QWidget*>(comboIcon)})
        box->installEventFilter(this);

    connect(cmdOK, &QPushButton::clicked, this, &frmEditWay::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditWay::cmdCancel_Click);
    connect(cmdGrid, &QPushButton::clicked, this, &frmEditWay::cmdGrid_Click);
}

int frmEditWay::Edit(int row)
{
    // The button names the grid its conversion uses: the one in use, OSGB until one is chosen.
    const QString& grid = workspace_.State().currentGrid;
    gridName_ = IsGridName(grid) ? grid : QStringLiteral("OSGB");
    cmdGrid->setText(gridName_);
    PrepareWaypointEditor(row);
    txtID->setFocus(Qt::OtherFocusReason);
    txtID->selectAll();
    return exec();
}

void frmEditWay::PrepareWaypointEditor(int row)
{
    WaypointFields fields = Fields();
    ::PrepareWaypointEditor(workspace_.List(ListKind::Waypoints), row, fields);
    ShowFields(fields);
}

WaypointFields frmEditWay::Fields() const
{
    WaypointFields f;
    f.txtID = txtID->text();
    f.txtLat = txtLat->text();
    f.TxtLatMin = TxtLatMin->text();
    f.optNS = Chosen(optNS);
    f.txtLon = txtLon->text();
    f.txtLonMin = txtLonMin->text();
    f.optWE = Chosen(optWE);
    f.txtAlt = txtAlt->text();
    f.optMF = Chosen(optMF);
    f.txtDesc = txtDesc->text();
    f.comboIcon = comboIcon->currentText();
    return f;
}

void frmEditWay::ShowFields(const WaypointFields& f)
{
    // Only changed texts are set, so that the caret stays where it is.
    const auto set = [](QLineEdit* box, const QString& text) {
        if (box->text() != text)
            box->setText(text);
    };
    set(txtID, f.txtID);
    set(txtLat, f.txtLat);
    set(TxtLatMin, f.TxtLatMin);
    Choose(optNS, f.optNS);
    set(txtLon, f.txtLon);
    set(txtLonMin, f.txtLonMin);
    Choose(optWE, f.optWE);
    set(txtAlt, f.txtAlt);
    Choose(optMF, f.optMF);
    for (const auto& pair : {optNS, optWE, optMF})
        TabLandsOnChosen({pair[0], pair[1]});
    set(txtDesc, f.txtDesc);
    const int icon = comboIcon->findText(f.comboIcon);
    if (icon >= 0)
        comboIcon->setCurrentIndex(icon);
    else
        comboIcon->setEditText(f.comboIcon);
}

std::optional<WaypointBox> frmEditWay::BoxOf(const QObject* widget) const
{
    const std::pair<const QObject*, WaypointBox> boxes[] = {
        {txtID, WaypointBox::Id},         {txtLat, WaypointBox::Lat},
        {TxtLatMin, WaypointBox::LatMin}, {txtLon, WaypointBox::Lon},
        {txtLonMin, WaypointBox::LonMin}, {txtAlt, WaypointBox::Alt},
        {txtDesc, WaypointBox::Desc},     {comboIcon, WaypointBox::Icon}};
    for (const auto& [object, box] : boxes) {
        if (object == widget)
            return box;
    }
    return std::nullopt;
}

QWidget* frmEditWay::WidgetOf(WaypointBox box) const
{
    switch (box) {
    case WaypointBox::Id:
        return txtID;
    case WaypointBox::Lat:
        return txtLat;
    case WaypointBox::LatMin:
        return TxtLatMin;
    case WaypointBox::Lon:
        return txtLon;
    case WaypointBox::LonMin:
        return txtLonMin;
    case WaypointBox::Alt:
        return txtAlt;
    case WaypointBox::Desc:
        return txtDesc;
    case WaypointBox::Icon:
        break;
    }
    return comboIcon;
}

bool frmEditWay::eventFilter(QObject* watched, QEvent* event)
{
    const std::optional<WaypointBox> box = BoxOf(watched);
    if (!box)
        return QDialog::eventFilter(watched, event);
    if (EnterPressesDefault(watched, event, cmdOK))
        return true;
    if (event->type() == QEvent::KeyPress)
        return FilterKey(*box, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::FocusOut) {
        // Checked when the user moves on within the editor; the editor
        // closing or losing the focus to another window checks nothing.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool movedOn = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                             reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
        // A box that fails takes the focus back with its text selected; the
        // box's own leaving, which would drop the selection, is skipped.
        if (movedOn && !validating_ && isVisible() && QApplication::focusWidget() != cmdCancel &&
            !ValidateBox(*box))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmEditWay::FilterKey(WaypointBox box, QKeyEvent* key)
{
    if (box != WaypointBox::Icon)
        return FilterTypedKey(WidgetOf(box), key,
                              [box](QChar typed) { return FilterWaypointKey(box, typed); });
    // A letter replaces the icon shown, and Backspace empties the box.
    if (key->key() == Qt::Key_Backspace) {
        comboIcon->setCurrentIndex(-1);
        comboIcon->setEditText(QString());
        return true;
    }
    return FilterTypedKey(comboIcon, key, [this](QChar typed) -> std::optional<QChar> {
        if (const std::optional<QChar> letter = FilterWaypointKey(WaypointBox::Icon, typed))
            comboIcon->setCurrentIndex(comboIcon->findText(QString(*letter)));
        // Typed by choosing the item, not by the key itself.
        return std::nullopt;
    });
}

bool frmEditWay::ValidateBox(WaypointBox box)
{
    WaypointFields fields = Fields();
    const QStringList messages = CheckWaypointField(box, fields);
    ShowFields(fields);
    if (messages.isEmpty())
        return true;
    ShowFailure({box, messages});
    return false;
}

void frmEditWay::ShowFailure(const FieldFailure& failure)
{
    validating_ = true;
    for (const QString& message : failure.messages)
        workspace_.Ui().Message(message);
    QWidget* widget = WidgetOf(failure.box);
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->selectAll();
    else
        comboIcon->lineEdit()->selectAll();
    validating_ = false;
}

void frmEditWay::cmdOK_Click()
{
    WaypointFields fields = Fields();
    const std::optional<FieldFailure> failure = ValidateForSaving(fields);
    ShowFields(fields);
    if (failure) {
        ShowFailure(*failure);
        return;
    }
    workspace_.ApplyWaypointEdit(fields);
    ShowFields(fields);
    accept();
}

void frmEditWay::cmdCancel_Click()
{
    reject();
}

void frmEditWay::cmdGrid_Click()
{
    WaypointFields fields = Fields();
    const ProgramState& state = workspace_.State();
    const GridStart start = GridReferenceForEditor(fields, gridName_, state.useSheetId,
                                                   workspace_.GridSource(), workspace_.Ui());
    switch (start.kind) {
    case GridStart::Kind::Stop:
        return;
    case GridStart::Kind::Blank:
        grid_.txtSheet->clear();
        grid_.txtNorth->clear();
        grid_.txtEast->clear();
        break;
    case GridStart::Kind::Reference:
        grid_.txtSheet->setText(start.reference.sheet);
        if (gridName_ == u"UTM")
            grid_.txtLetter->setText(start.reference.band);
        grid_.txtEast->setText(start.reference.east);
        grid_.txtNorth->setText(start.reference.north);
        break;
    }
    // The main window holds the grid dialog; here it stands over the editor,
    // which has the focus again when it closes.
    QWidget* owner = grid_.parentWidget();
    grid_.setParent(this, grid_.windowFlags());
    EditorPositionFields position = PositionFieldsOf(fields);
    const int answer = grid_.Ask(position);
    grid_.setParent(owner, grid_.windowFlags());
    activateWindow();
    if (answer == QDialog::Accepted) {
        SetPositionFields(fields, position);
        ShowFields(fields);
    }
}
