#include "editors/frmProperties.h"

#include "editors/TypedKey.h"
#include "workspace/Workspace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QComboBox* NewList(QWidget* parent, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    // A port path, a speed or a datum may also be typed.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QRadioButton* NewOption(QWidget* parent, const QString& name, const QString& caption)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    return option;
}

// Shows `text`, as the entry it names when there is one.
void ShowText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

} // namespace

frmProperties::frmProperties(Workspace& workspace, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), workspace_(workspace), settings_(settings)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    setModal(true);

    tabSettings = new QTabWidget(this);
    tabSettings->setObjectName(QStringLiteral("tabSettings"));
    fraSettings = new QWidget(tabSettings);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    tabSettings->addTab(fraSettings, QStringLiteral("Settings"));

    cboPort = NewList(fraSettings, "cboPort");
    cboPort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboPort->setMinimumContentsLength(12);
    cboSpeed = NewList(fraSettings, "cboSpeed");
    cboSpeed->addItems(PortSpeeds());
    cboDatum = NewList(fraSettings, "cboDatum");
    cboDatum->addItems(DatumEntries());
    cboDatum->setMaxVisibleItems(20);
    chkGrid = new QCheckBox(QStringLiteral("Show Gridlines"), fraSettings);
    chkGrid->setObjectName(QStringLiteral("chkGrid"));

    auto* speedFrame = new QGroupBox(QStringLiteral("Port Speed"), fraSettings);
    auto* speedLayout = new QVBoxLayout(speedFrame);
    speedLayout->addWidget(cboSpeed);

    auto* options = new QGroupBox(QStringLiteral("Options"), fraSettings);
    optHeightMT = NewOption(options, QStringLiteral("optHeightMT"), QStringLiteral("Metres"));
    optHeightFT = NewOption(options, QStringLiteral("optHeightFT"), QStringLiteral("Feet"));
    optHeightDC = NewOption(options, QStringLiteral("optHeightDC"), QStringLiteral("Don't Care"));
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(new QLabel(QStringLiteral("Show heights in:"), options));
    for (QRadioButton* option : {optHeightMT, optHeightFT, optHeightDC})
        optionsLayout->addWidget(option);
    optionsLayout->addStretch();

    auto* gridFrame = new QGroupBox(QStringLiteral("Grid"), fraSettings);
    gridGroup_ = new QButtonGroup(this);
    const QString gridCaptions[] = {
        QStringLiteral("OSGB (Great Britain)"), QStringLiteral("OSNI (Northern Ireland)"),
        QStringLiteral("OSRoI (Republic of Ireland)"), QStringLiteral("UTM")};
    auto* gridLayout = new QVBoxLayout(gridFrame);
    for (int i = 0; i < 4; ++i) {
        optGrid[size_t(i)] =
            NewOption(gridFrame, QStringLiteral("optGrid%1").arg(i), gridCaptions[i]);
        gridGroup_->addButton(optGrid[size_t(i)], i);
        gridLayout->addWidget(optGrid[size_t(i)]);
    }
    cbSheet = new QCheckBox(QStringLiteral("Use OS Sheet ID"), gridFrame);
    cbSheet->setObjectName(QStringLiteral("cbSheet"));
    gridLayout->addWidget(cbSheet);
    gridLayout->addStretch();

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("Port:"), fraSettings));
    portRow->addWidget(cboPort, 1);
    auto* datumRow = new QHBoxLayout;
    datumRow->addWidget(new QLabel(QStringLiteral("Datum"), fraSettings));
    datumRow->addWidget(cboDatum, 1);

    auto* frame = new QGridLayout(fraSettings);
    frame->addLayout(portRow, 0, 0);
    frame->addWidget(speedFrame, 0, 1, 2, 1);
    frame->addWidget(chkGrid, 1, 0);
    frame->addLayout(datumRow, 2, 0, 1, 2);
    frame->addWidget(options, 3, 0);
    frame->addWidget(gridFrame, 3, 1);
    frame->setColumnStretch(0, 1);
    frame->setColumnStretch(1, 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabSettings);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {cboPort,     cboSpeed,    chkGrid,    cboDatum,   optHeightMT,
                        optHeightFT, optHeightDC, optGrid[0], optGrid[1], optGrid[2],
                        optGrid[3],  cbSheet,     cmdOK,      cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QComboBox* box : {cboPort, cboSpeed, cboDatum})
        box->installEventFilter(this);

    connect(gridGroup_, &QButtonGroup::idClicked, this, &frmProperties::optGrid_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProperties::cmdCancel_Click);
}

int frmProperties::Edit(bool gridLines)
{
    LoadPropertySettings(gridLines);
    cboPort->setFocus(Qt::OtherFocusReason);
    return exec();
}

void frmProperties::LoadPropertySettings(bool gridLines)
{
    cboPort->clear();
    const std::vector<SerialDevice> devices = PresentSerialDevices();
    cboPort->addItems(PortEntries(devices));
    ShowChoices(workspace_.PropertySettings(settings_, gridLines, devices));
}

PropertyChoices frmProperties::Choices() const
{
    PropertyChoices choices;
    choices.port = cboPort->currentText();
    choices.speed = cboSpeed->currentText();
    choices.datum = cboDatum->currentText();
    choices.gridLines = chkGrid->isChecked();
    choices.heights = optHeightDC->isChecked()   ? HeightsMode::Keep
                      : optHeightFT->isChecked() ? HeightsMode::Feet
                                                 : HeightsMode::Metres;
    choices.grid = gridGroup_->checkedId();
    choices.sheet = cbSheet->isChecked();
    choices.sheetEnabled = cbSheet->isEnabled();
    return choices;
}

void frmProperties::ShowChoices(const PropertyChoices& choices)
{
    ShowText(cboPort, choices.port);
    ShowText(cboSpeed, choices.speed);
    ShowText(cboDatum, choices.datum);
    chkGrid->setChecked(choices.gridLines);
    (choices.heights == HeightsMode::Feet     ? optHeightFT
     : choices.heights == HeightsMode::Metres ? optHeightMT
                                              : optHeightDC)
        ->setChecked(true);
    if (choices.grid >= 0 && choices.grid < 4) {
        optGrid[size_t(choices.grid)]->setChecked(true);
    } else if (QAbstractButton* checked = gridGroup_->checkedButton()) {
        // A grid the dialog does not know: no option is chosen.
        gridGroup_->setExclusive(false);
        checked->setChecked(false);
        gridGroup_->setExclusive(true);
    }
    TabLandsOnChosen({optHeightMT, optHeightFT, optHeightDC});
    TabLandsOnChosen({optGrid[0], optGrid[1], optGrid[2], optGrid[3]});
    if (choices.sheetEnabled)
        cbSheet->setEnabled(*choices.sheetEnabled);
    cbSheet->setChecked(choices.sheet);
}

bool frmProperties::eventFilter(QObject* watched, QEvent* event)
{
    return EnterPressesDefault(watched, event, cmdOK) || QDialog::eventFilter(watched, event);
}

void frmProperties::optGrid_Click(int index)
{
    cbSheet->setEnabled(index == 0);
}

void frmProperties::cmdOK_Click()
{
    if (workspace_.ApplyProperties(Choices(), settings_))
        accept();
}

void frmProperties::cmdCancel_Click()
{
    reject();
}
