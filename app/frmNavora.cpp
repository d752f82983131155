#include "app/frmNavora.h"

#include "app/MessageBoxInteraction.h"
#include "app/ReportView.h"
#include "app/ToolbarPictures.h"
#include "app/WaypointIcons.h"
#include "app/frmAbout.h"
#include "coords/dlgGrid.h"
#include "editors/frmEditRoute.h"
#include "editors/frmEditWay.h"
#include "editors/frmProperties.h"
#include "gpslink/GpsLink.h"
#include "gpslink/SerialStream.h"
#include "gpslink/frmMonitor.h"
#include "model/Twips.h"
#include "workspace/Gpx.h"
#include "workspace/Workspace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The window's size as designed, in twips: where start-up centres it, and
// the size it keeps when the stored one is not a number.
constexpr int kDesignHeightTwips = 6700;
constexpr int kDesignWidthTwips = 8900;
// The window's inner area (below the menu bar) does not shrink below this;
// the layouts' own minimum applies where it is larger.
constexpr int kMinimumInnerWidthTwips = 5000;
constexpr int kMinimumInnerHeightTwips = 1900;
// The lists sit this far below the top of the tab strip's client area.
constexpr int kHeadingTwips = 100;

const QString kFileFilter = QStringLiteral("Text Files (*.txt);;All Files (*.*)");
const QString kGpxFilter = QStringLiteral("GPX Files (*.gpx);;All Files (*.*)");

QAction* NewAction(QObject* parent, const char* name, const QString& caption)
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmNavora::frmNavora(SettingsStore& settings, SerialStream& port, UserInteraction* interaction,
                     QWidget* parent)
    : QMainWindow(parent), settings_(settings), interaction_(interaction)
{
    if (!interaction_) {
        messageBoxes_ = std::make_unique<MessageBoxInteraction>(
            this, [this](StatusPanel panel, const QString& text) { SetPanelText(panel, text); });
        interaction_ = messageBoxes_.get();
    }
    workspace_ = std::make_unique<Workspace>(port, *interaction_);
    if (messageBoxes_)
        messageBoxes_->SetLink(workspace_->Link());
    connect(workspace_.get(), &Workspace::ConnectionChanged, this, &frmNavora::ApplyConnectedLook);
    connect(workspace_.get(), &Workspace::BusyChanged, this, &frmNavora::FollowBusy);

    setObjectName(QStringLiteral("frmNavora"));
    setWindowTitle(QStringLiteral("Navora"));
    setContextMenuPolicy(Qt::NoContextMenu);

    BuildMenus();
    BuildToolBar();
    BuildLists();
    BuildStatusBar();
    BuildShortcuts();
    gridDialog_ = new dlgGrid(workspace_->State(), *interaction_, workspace_->GridSource(), this);

    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    setMinimumSize(TwipsToPixels(kMinimumInnerWidthTwips, dpiX),
                   TwipsToPixels(kMinimumInnerHeightTwips, dpiY) + menuBar()->sizeHint().height());
    resize(TwipsToPixels(kDesignWidthTwips, dpiX), TwipsToPixels(kDesignHeightTwips, dpiY));

    ApplyConnectedLook(false);
    // The design caption keeps its access key until the link first changes.
    mnuOpenGPS_->setText(QStringLiteral("&Connect to GPS"));
}

frmNavora::~frmNavora()
{
    // The lists and the dialogs look at the workspace: they go first.
    delete takeCentralWidget();
    delete editWay_;
    delete editRoute_;
    delete properties_;
    delete gridDialog_;
}

void frmNavora::BuildMenus()
{
    QMenuBar* bar = menuBar();
    const auto item = [this](QAction* action, Command command,
                             std::optional<ListKind> list = std::nullopt) {
        commandItems_.push_back({action, command, list});
        return action;
    };

    mnuFile_ = bar->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuSave_ = item(NewAction(this, "mnuSave", QStringLiteral("&Save to file")), Command::Save);
    mnuLoad_ = item(NewAction(this, "mnuLoad", QStringLiteral("&Load from file")), Command::Load);
    mnuFileExit_ = item(NewAction(this, "mnuFileExit", QStringLiteral("E&xit")), Command::Exit);
    mnuFile_->addAction(mnuSave_);
    mnuFile_->addAction(mnuLoad_);
    // GPX import and export start when a load or a save may.
    mnuImportGpx_ =
        item(NewAction(this, "mnuImportGpx", QStringLiteral("Import GPX...")), Command::Load);
    mnuExportGpx_ =
        item(NewAction(this, "mnuExportGpx", QStringLiteral("Export GPX...")), Command::Save);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("M4"));
    mnuFile_->addAction(mnuImportGpx_);
    mnuFile_->addAction(mnuExportGpx_);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("M3"));
    mnuFile_->addAction(mnuFileExit_);

    mnuPort_ = bar->addMenu(QStringLiteral("&Options"));
    mnuPort_->setObjectName(QStringLiteral("mnuPort"));
    mnuOpenLog_ =
        item(NewAction(this, "mnuOpenLog", QStringLiteral("Comm Port &Monitor")), Command::Monitor);
    mnuOpenLog_->setCheckable(true);
    mnuComm_ = item(NewAction(this, "mnuComm", QStringLiteral("Setup...")), Command::Setup);
    mnuPort_->addAction(mnuOpenLog_);
    mnuPort_->addAction(mnuComm_);

    mnuCall_ = bar->addMenu(QStringLiteral("&GPS"));
    mnuCall_->setObjectName(QStringLiteral("mnuCall"));
    mnuOpenGPS_ =
        item(NewAction(this, "mnuOpenGPS", QStringLiteral("&Connect to GPS")), Command::Connect);
    mnuCall_->addAction(mnuOpenGPS_);
    mnuCall_->addSeparator()->setObjectName(QStringLiteral("M1"));

    const struct
    {
        const char* name;
        const char* caption;
        ListKind list;
    } kDownloads[] = {{"mnuDownWay", "Waypoints", ListKind::Waypoints},
                      {"mnuDownRoute", "Routes", ListKind::Routes},
                      {"mnuDownTrack", "Track", ListKind::Track}},
      kUploads[] = {{"mnuUpWay", "Waypoints", ListKind::Waypoints},
                    {"mnuUpRoutes", "Routes", ListKind::Routes},
                    {"mnuUpTrack", "Track", ListKind::Track}},
      kDeletes[] = {{"mnuDelWay", "Delete ALL User Waypoints in GPS", ListKind::Waypoints},
                    {"mnuDelRoute", "Delete ALL Routes in GPS", ListKind::Routes},
                    {"mnuDelTrack", "Delete Track in GPS", ListKind::Track}};

    mnuDown_ = mnuCall_->addMenu(QStringLiteral("Download from GPS"));
    mnuDown_->setObjectName(QStringLiteral("mnuDown"));
    for (const auto& d : kDownloads) {
        QAction* action = item(NewAction(this, d.name, QString::fromLatin1(d.caption)),
                               Command::Download, d.list);
        mnuDown_->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind = d.list] { mnuDown_Click(kind); });
    }

    mnuUp_ = mnuCall_->addMenu(QStringLiteral("Upload to GPS"));
    mnuUp_->setObjectName(QStringLiteral("mnuUp"));
    for (const auto& u : kUploads) {
        QAction* action =
            item(NewAction(this, u.name, QString::fromLatin1(u.caption)), Command::Upload, u.list);
        mnuUp_->addAction(action);
        connect(action, &QAction::triggered, this, [this, kind = u.list] { mnuUp_Click(kind); });
    }

    mnuDelete_ = mnuCall_->addMenu(QStringLiteral("Delete from GPS"));
    mnuDelete_->setObjectName(QStringLiteral("mnuDelete"));
    for (const auto& d : kDeletes) {
        QAction* action = item(NewAction(this, d.name, QString::fromLatin1(d.caption)),
                               Command::DeleteAllInReceiver, d.list);
        mnuDelete_->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, kind = d.list] { mnuDelete_Click(kind); });
    }
    for (QMenu* menu : {mnuDown_, mnuUp_, mnuDelete_})
        item(menu->menuAction(), Command::ReceiverMenus);

    mnuAbout_ = item(NewAction(this, "mnuAbout", QStringLiteral("&About")), Command::About);
    bar->addAction(mnuAbout_);

    connect(mnuSave_, &QAction::triggered, this, &frmNavora::mnuSave_Click);
    connect(mnuLoad_, &QAction::triggered, this, &frmNavora::mnuLoad_Click);
    connect(mnuImportGpx_, &QAction::triggered, this, &frmNavora::mnuImportGpx_Click);
    connect(mnuExportGpx_, &QAction::triggered, this, &frmNavora::mnuExportGpx_Click);
    connect(mnuFileExit_, &QAction::triggered, this, &frmNavora::mnuFileExit_Click);
    connect(mnuOpenGPS_, &QAction::triggered, this, &frmNavora::mnuOpenGPS_Click);
    connect(mnuOpenLog_, &QAction::triggered, this, &frmNavora::mnuOpenLog_Click);
    connect(mnuAbout_, &QAction::triggered, this, &frmNavora::mnuAbout_Click);
    connect(mnuComm_, &QAction::triggered, this, &frmNavora::mnuComm_Click);
}

QAction* frmNavora::AddButton(const QString& key, const QString& caption,
                              const QString& description, const QString& toolTip)
{
    QAction* button = tbrToolBar_->addAction(caption);
    button->setObjectName(QStringLiteral("tbr") + key);
    button->setData(key);
    button->setProperty("description", description);
    button->setToolTip(toolTip);
    buttons_[key] = button;
    return button;
}

void frmNavora::BuildToolBar()
{
    tbrToolBar_ = new QToolBar(this);
    tbrToolBar_->setObjectName(QStringLiteral("tbrToolBar"));
    tbrToolBar_->setMovable(false);
    tbrToolBar_->setFloatable(false);
    tbrToolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbrToolBar_->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, tbrToolBar_);

    struct Button
    {
        const char* key;
        const char* caption;
        const char* description;
        const char* toolTip;
        ToolbarPicture picture;
        Command command;
    };
    static const Button kButtons[] = {
        {"LoadFile", "Load", "Load from file", nullptr, ToolbarPicture::Load, Command::Load},
        {"SaveFile", "Save", "Save to file", nullptr, ToolbarPicture::Save, Command::Save},
        {"OpenGPS", "Connect", "Connect to GPS", nullptr, ToolbarPicture::Disconnected,
         Command::Connect},
        {"Properties", "Setup", "Properties...", "Program Setup", ToolbarPicture::Setup,
         Command::Setup},
        {"Insert", "New", "Insert new record", nullptr, ToolbarPicture::New, Command::Insert},
        {"Edit", "Detail", "Edit selected record", nullptr, ToolbarPicture::Detail, Command::Edit},
        {"Delete", "Delete", "Delete Selected Records", nullptr, ToolbarPicture::Delete,
         Command::Delete},
        {"Upload", "Send", "Send data to GPS", nullptr, ToolbarPicture::Send, Command::Upload},
        {"Download", "Get", "Get data from GPS", nullptr, ToolbarPicture::Get, Command::Download},
    };
    for (const Button& b : kButtons) {
        const QString description = QString::fromLatin1(b.description);
        QAction* button =
            AddButton(QString::fromLatin1(b.key), QString::fromLatin1(b.caption), description,
                      b.toolTip ? QString::fromLatin1(b.toolTip) : description);
        button->setIcon(ToolbarIcon(b.picture));
        commandItems_.push_back({button, b.command, std::nullopt});
    }

    connect(tbrToolBar_, &QToolBar::actionTriggered, this, &frmNavora::tbrToolBar_ButtonClick);
}

void frmNavora::BuildLists()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    TabStrip1_ = new QTabBar(central);
    TabStrip1_->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1_->setExpanding(false);
    TabStrip1_->setDrawBase(false);
    const struct
    {
        const char* caption;
        const char* key;
    } kTabs[] = {{"Waypoints", "waypoints"}, {"Routes", "routes"}, {"Track", "track"}};
    for (const auto& tab : kTabs) {
        const int i = TabStrip1_->addTab(QString::fromLatin1(tab.caption));
        TabStrip1_->setTabData(i, QString::fromLatin1(tab.key));
    }

    auto* client = new QFrame(central);
    client->setObjectName(QStringLiteral("TabStrip1Client"));
    client->setFrameShape(QFrame::StyledPanel);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(2, 0, 2, 2);
    clientLayout->setSpacing(0);

    Heading_ = new QFrame(client);
    Heading_->setObjectName(QStringLiteral("Heading"));
    Heading_->setFixedHeight(TwipsToPixels(kHeadingTwips, logicalDpiY()));
    clientLayout->addWidget(Heading_);

    stack_ = new QStackedWidget(client);
    const ListKind kinds[] = {ListKind::Waypoints, ListKind::Routes, ListKind::Track};
    for (ListKind kind : kinds) {
        // A route is deleted one at a time, so its list selects one row;
        // several waypoints can be deleted together.
        const auto mode = kind == ListKind::Routes ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection;
        auto* view = new ReportView(workspace_->List(kind), mode, stack_);
        view->setObjectName(QStringLiteral("ListView%1").arg(int(kind)));
        views_[size_t(int(kind) - 1)] = view;
        stack_->addWidget(view);
        connect(view, &ReportView::ColumnClick, this,
                [this, kind](int column) { ListView_ColumnClick(kind, column); });
        connect(view, &ReportView::DblClick, this, [this, kind] { EditRecord(kind); });
        connect(view, &ReportView::InsertKey, this, &frmNavora::InsertRecord);
        connect(view, &ReportView::DeleteKey, this, &frmNavora::DeleteRecords);
    }
    clientLayout->addWidget(stack_, 1);

    layout->addWidget(TabStrip1_);
    layout->addWidget(client, 1);
    setCentralWidget(central);

    connect(TabStrip1_, &QTabBar::currentChanged, this, &frmNavora::TabStrip1_Click);
}

void frmNavora::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbrStatus"));
    const struct
    {
        StatusPanel panel;
        const char* key;
        const char* toolTip;
        int stretch;
    } kPanels[] = {{StatusPanel::Status, "Status", "Communications Port Status", 2},
                   {StatusPanel::Settings, "Settings", "Settings and Status", 3},
                   {StatusPanel::Datum, "Datum", nullptr, 1}};
    for (const auto& p : kPanels) {
        auto* label = new QLabel(QString::fromLatin1(p.key), bar);
        label->setObjectName(QString::fromLatin1(p.key));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMargin(1);
        if (p.toolTip)
            label->setToolTip(QString::fromLatin1(p.toolTip));
        bar->addWidget(label, p.stretch);
        panels_[p.panel] = label;
    }
}

void frmNavora::BuildShortcuts()
{
    // The usual keys for the next and the previous tab, wherever the focus is.
    const struct
    {
        QKeySequence keys;
        int step;
    } kShortcuts[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                      {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                      {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& s : kShortcuts) {
        auto* shortcut = new QShortcut(s.keys, this);
        const int step = s.step;
        connect(shortcut, &QShortcut::activated, this, [this, step] { StepTab(step); });
    }
}

QAction* frmNavora::ToolbarButton(const QString& key) const
{
    const auto it = buttons_.find(key);
    return it == buttons_.end() ? nullptr : it->second;
}

QString frmNavora::PanelText(StatusPanel panel) const
{
    return panels_.at(panel)->text();
}

void frmNavora::SetPanelText(StatusPanel panel, const QString& text)
{
    panels_.at(panel)->setText(text);
}

void frmNavora::ApplyConnectedLook(bool connected)
{
    const QString openText =
        connected ? QStringLiteral("Disconnect from GPS") : QStringLiteral("Connect to GPS");
    mnuOpenGPS_->setText(openText);
    QAction* open = buttons_.at(QStringLiteral("OpenGPS"));
    open->setIcon(
        ToolbarIcon(connected ? ToolbarPicture::Connected : ToolbarPicture::Disconnected));
    open->setProperty("description", openText);
    open->setToolTip(openText);
    open->setText(connected ? QStringLiteral("Disconn") : QStringLiteral("Connect"));
    UpdateCommands();
}

void frmNavora::UpdateCommands()
{
    const CommandContext context{workspace_->Connected(), workspace_->Busy(), workspace_->Work()};
    for (const CommandItem& item : commandItems_)
        item.action->setEnabled(IsEnabled(item.command, item.list.value_or(currentKind_), context));
}

void frmNavora::FollowBusy(bool busy)
{
    UpdateCommands();
    // Closed meanwhile: now the exchange has ended, the usual shutdown runs.
    if (!busy && closeWhenIdle_)
        QTimer::singleShot(0, this, &QWidget::close);
}

StartupResult frmNavora::Startup()
{
    currentKind_ = ListKind::Waypoints;
    const StartupResult result = workspace_->Startup(settings_);
    ApplyWindowSize(result);
    for (ReportView* view : views_)
        view->SetGridLines(result.gridLines);
    if (result.completed)
        gridDialog_->ApplyGrid(workspace_->State().currentGrid, workspace_->State().useSheetId);
    return result;
}

void frmNavora::ApplyWindowSize(const StartupResult& startup)
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const QSize design(TwipsToPixels(kDesignWidthTwips, dpiX),
                       TwipsToPixels(kDesignHeightTwips, dpiY));
    if (const QScreen* where = screen()) {
        const QRect area = where->geometry();
        move(area.x() + (area.width() - design.width()) / 2,
             area.y() + (area.height() - design.height()) / 2);
    }
    outerSizeWanted_ =
        QSize(startup.widthTwips ? TwipsToPixels(*startup.widthTwips, dpiX) : design.width(),
              startup.heightTwips ? TwipsToPixels(*startup.heightTwips, dpiY) : design.height());
    // The frame is not known before the window manager has framed the
    // window; event() takes it off then.
    resize(outerSizeWanted_);
}

bool frmNavora::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    // The stored size is the outer one, frame included, as shutdown stores
    // it. A window manager makes its frame known only some time after the
    // window first shows; until then the inner size stands in for it.
    if (outerSizeWanted_.isValid() && isVisible()) {
        const QSize frame = frameGeometry().size() - geometry().size();
        if (!frame.isNull()) {
            const QSize wanted = outerSizeWanted_;
            outerSizeWanted_ = QSize();
            resize(wanted - frame);
        }
    }
    return handled;
}

bool frmNavora::Shutdown()
{
    // The drain lets events run, so a second Exit or close can arrive meanwhile.
    if (inShutdown_)
        return false;
    inShutdown_ = true;
    const bool portClosed = workspace_->ClosePort(drainLimit_);
    inShutdown_ = false;
    if (!portClosed)
        return false;
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QRect outer = frameGeometry();
        StoreWindowSize(settings_, PixelsToTwips(outer.height(), logicalDpiY()),
                        PixelsToTwips(outer.width(), logicalDpiX()));
    }
    shutDown_ = true;
    return true;
}

void frmNavora::closeEvent(QCloseEvent* event)
{
    // The window stays while an exchange runs: the exchange ends as a Cancel
    // ends it, and then the window closes.
    if (workspace_->Busy()) {
        closeWhenIdle_ = true;
        workspace_->Cancel();
        event->ignore();
        return;
    }
    closeWhenIdle_ = false;
    if (!shutDown_ && !Shutdown()) {
        event->ignore();
        return;
    }
    if (about_)
        about_->close();
    if (monitor_)
        monitor_->hide();
    event->accept();
}

void frmNavora::mnuFileExit_Click()
{
    close();
}

void frmNavora::mnuAbout_Click()
{
    if (!about_) {
        auto* about = new frmAbout(this);
        about->setAttribute(Qt::WA_DeleteOnClose);
        about_ = about;
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void frmNavora::TabStrip1_Click()
{
    const int tab = TabStrip1_->currentIndex() + 1;
    if (tab == int(currentKind_) || tab < 1 || tab > 3)
        return;
    stack_->setCurrentIndex(tab - 1);
    currentKind_ = ListKind(tab);
    UpdateCommands();
}

void frmNavora::StepTab(int step)
{
    const int count = TabStrip1_->count();
    TabStrip1_->setCurrentIndex((TabStrip1_->currentIndex() + step + count) % count);
}

void frmNavora::tbrToolBar_ButtonClick(QAction* button)
{
    const QString key = button->data().toString();
    if (key == u"LoadFile")
        mnuLoad_Click();
    else if (key == u"SaveFile")
        mnuSave_Click();
    else if (key == u"Delete")
        DeleteRecords();
    else if (key == u"OpenGPS")
        mnuOpenGPS_Click();
    else if (key == u"Insert")
        InsertRecord();
    else if (key == u"Edit")
        EditRecord(currentKind_);
    else if (key == u"Properties")
        mnuComm_Click();
    else if (key == u"Upload")
        mnuUp_Click(currentKind_);
    else if (key == u"Download")
        mnuDown_Click(currentKind_);
}

QString frmNavora::ChooseFile(bool save)
{
    // An existing file is the "file exists" question's business: append or overwrite.
    return ChooseFile(save, kFileFilter, QStringLiteral("txt"), false);
}

QString frmNavora::ChooseFile(bool save, const QString& filter, const QString& suffix,
                              bool confirmOverwrite)
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    if (save && !confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString folder = settings_.Read(SettingsKey::LastFolder);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    settings_.Write(SettingsKey::LastFolder, QFileInfo(path).absolutePath());
    return path;
}

void frmNavora::mnuSave_Click()
{
    if (!workspace_->ReadyToSave(currentKind_))
        return;
    const QString path = ChooseFile(true);
    if (!path.isEmpty())
        workspace_->SaveFile(currentKind_, path);
}

void frmNavora::mnuLoad_Click()
{
    const QString path = ChooseFile(false);
    if (!path.isEmpty())
        workspace_->LoadFile(currentKind_, path);
}

void frmNavora::mnuImportGpx_Click()
{
    const QString path = ChooseFile(false, kGpxFilter, QStringLiteral("gpx"), false);
    if (!path.isEmpty())
        ImportGpx(*workspace_, path);
}

void frmNavora::mnuExportGpx_Click()
{
    if (!ReadyToExportGpx(*workspace_))
        return;
    // An export replaces the file whole; the dialog asks before it does.
    const QString path = ChooseFile(true, kGpxFilter, QStringLiteral("gpx"), true);
    if (!path.isEmpty())
        ExportGpx(*workspace_, path);
}

void frmNavora::mnuOpenGPS_Click()
{
    workspace_->ConnectToggle();
}

void frmNavora::mnuOpenLog_Click()
{
    GpsLink& link = workspace_->Link();
    if (link.MonitorOn()) {
        if (monitor_)
            monitor_->hide();
        link.SetMonitorOn(false);
        mnuOpenLog_->setChecked(false);
        return;
    }
    if (!monitor_) {
        monitor_ = std::make_unique<frmMonitor>();
        connect(&link, &GpsLink::MonitorText, monitor_.get(), &frmMonitor::ShowData);
        connect(monitor_.get(), &frmMonitor::CloseRequested, this, &frmNavora::mnuOpenLog_Click);
    }
    monitor_->ShowMonitor();
    link.SetMonitorOn(true);
    mnuOpenLog_->setChecked(true);
}

void frmNavora::ListView_ColumnClick(ListKind kind, int column)
{
    if (kind == ListKind::Routes)
        return;
    ListModel& list = workspace_->List(kind);
    list.SortByColumn(column);
    QHeaderView* header = ListView(kind)->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(list.SortColumn(), list.SortOrder());
}

void frmNavora::DeleteRecords()
{
    workspace_->DeleteRows(currentKind_, SelectedRows(workspace_->List(currentKind_)));
}

void frmNavora::mnuComm_Click()
{
    if (workspace_->Busy())
        return;
    if (!properties_)
        properties_ = new frmProperties(*workspace_, settings_, this);
    if (properties_->Edit(ListView(ListKind::Waypoints)->showGrid()) == QDialog::Accepted) {
        for (ReportView* view : views_)
            view->SetGridLines(properties_->chkGrid->isChecked());
        const ProgramState& state = workspace_->State();
        gridDialog_->ApplyGrid(state.currentGrid, state.useSheetId);
    }
    workspace_->ShowSetupPanels();
}

void frmNavora::InsertRecord()
{
    if (workspace_->Busy())
        return;
    if (currentKind_ == ListKind::Waypoints) {
        workspace_->State().editIndex = -1;
        OpenWaypointEditor(-1);
    } else if (currentKind_ == ListKind::Routes) {
        workspace_->State().editIndex = -1;
        OpenRouteEditor(-1);
    }
}

void frmNavora::EditRecord(ListKind kind)
{
    if (workspace_->Busy())
        return;
    const std::optional<int> row =
        workspace_->RowToEdit(kind, SelectedRows(workspace_->List(kind)));
    if (!row)
        return;
    if (kind == ListKind::Waypoints)
        OpenWaypointEditor(*row);
    else if (kind == ListKind::Routes)
        OpenRouteEditor(*row);
}

void frmNavora::OpenWaypointEditor(int row)
{
    if (!editWay_)
        editWay_ = new frmEditWay(*workspace_, *gridDialog_, WaypointIcon, this);
    editWay_->Edit(row);
}

void frmNavora::OpenRouteEditor(int row)
{
    const std::optional<RouteEditorContent> content = workspace_->PrepareRouteEditor(row);
    if (!content)
        return;
    if (!editRoute_)
        editRoute_ = new frmEditRoute(*workspace_, this);
    editRoute_->Edit(*content);
}

void frmNavora::mnuDown_Click(ListKind kind)
{
    workspace_->Download(kind);
}

void frmNavora::mnuUp_Click(ListKind kind)
{
    workspace_->Upload(kind);
}

void frmNavora::mnuDelete_Click(ListKind kind)
{
    workspace_->DeleteAllInReceiver(kind);
}
