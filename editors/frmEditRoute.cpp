#include "editors/frmEditRoute.h"

#include "editors/TypedKey.h"
#include "workspace/WaypointFields.h"
#include "workspace/Workspace.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The waypoint boxes stand in columns of this many.
constexpr int kBoxesPerColumn = 11;

QComboBox* NewNameBox(QWidget* parent, const QString& name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // A typed name stays in its box: the list is every box's.
    box->setInsertPolicy(QComboBox::NoInsert);
    // Sized by a name's length rather than by measuring every name.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(8);
    box->setMaxVisibleItems(15);
    return box;
}

} // namespace

frmEditRoute::frmEditRoute(Workspace& workspace, QWidget* parent)
    : QDialog(parent), workspace_(workspace)
{
    setObjectName(QStringLiteral("frmEditRoute"));
    setWindowTitle(QStringLiteral("Navora - Edit Route"));
    setModal(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    Route = NewNameBox(this, QStringLiteral("Route"));
    Route->setFont(fixed);
    Route->setMinimumContentsLength(3);
    Route->lineEdit()->setMaxLength(2);
    Desc = new QLineEdit(this);
    Desc->setObjectName(QStringLiteral("Desc"));
    Desc->setFont(fixed);
    Desc->setMaxLength(20);
    Desc->setToolTip(QStringLiteral("Route name"));
    Desc->setFixedWidth(Desc->fontMetrics().horizontalAdvance(QString(22, u'0')));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Route"), this));
    top->addWidget(Route);
    top->addSpacing(fontMetrics().height());
    top->addWidget(new QLabel(QStringLiteral("Name"), this));
    top->addWidget(Desc);
    top->addStretch();

    auto* boxes = new QGridLayout;
    for (int j = 0; j < RouteStore::kMaxPoints; ++j) {
        Way[size_t(j)] = NewNameBox(this, QStringLiteral("Way%1").arg(j));
        Way[size_t(j)]->setModel(&names_);
        const QString caption =
            j == 0 ? QStringLiteral("Start") : QStringLiteral("Waypoint %1").arg(j + 1);
        const int column = j / kBoxesPerColumn * 2;
        boxes->addWidget(new QLabel(caption, this), j % kBoxesPerColumn, column);
        boxes->addWidget(Way[size_t(j)], j % kBoxesPerColumn, column + 1);
    }
    boxes->setHorizontalSpacing(fontMetrics().height() / 2);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(boxes);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = Desc;
    setTabOrder(Route, Desc);
    for (QComboBox* box : Way) {
        setTabOrder(previous, box);
        previous = box;
    }
    setTabOrder(previous, OKButton);
    setTabOrder(OKButton, CancelButton);

    Route->installEventFilter(this);
    Desc->installEventFilter(this);
    for (QComboBox* box : Way)
        box->installEventFilter(this);

    connect(OKButton, &QPushButton::clicked, this, &frmEditRoute::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmEditRoute::CancelButton_Click);
}

int frmEditRoute::Edit(const RouteEditorContent& content)
{
    Fill(content);
    (content.locked ? static_cast<QWidget*>(Desc) : Route)->setFocus(Qt::OtherFocusReason);
    return exec();
}

void frmEditRoute::Fill(const RouteEditorContent& content)
{
    Route->clear();
    Route->addItems(content.numbers);
    Route->setEditText(content.route);
    // An existing route keeps its number.
    Route->lineEdit()->setReadOnly(content.locked);
    Desc->setText(content.name);
    names_.setStringList(content.waypointNames);
    for (int j = 0; j < RouteStore::kMaxPoints; ++j) {
        Way[size_t(j)]->setCurrentIndex(-1);
        Way[size_t(j)]->setEditText(content.boxes.value(j));
    }
}

QStringList frmEditRoute::Boxes() const
{
    QStringList texts;
    for (const QComboBox* box : Way)
        texts << box->currentText();
    return texts;
}

bool frmEditRoute::eventFilter(QObject* watched, QEvent* event)
{
    // Every character typed anywhere in the editor is upper case, as the
    // receiver's names are.
    if (EnterPressesDefault(watched, event, OKButton))
        return true;
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return FilterTypedKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event),
                              [](QChar typed) { return UpperKey(typed); });
    return QDialog::eventFilter(watched, event);
}

void frmEditRoute::OKButton_Click()
{
    if (!workspace_.ApplyRouteEdit(Route->currentText(), Desc->text(), Boxes())) {
        Route->setFocus(Qt::OtherFocusReason);
        Route->lineEdit()->selectAll();
        return;
    }
    accept();
}

void frmEditRoute::CancelButton_Click()
{
    reject();
}
