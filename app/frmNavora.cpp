#include "app/frmNavora.h"

#include "app/MessageBoxInteraction.h"
#include "app/ReportView.h"
#include "app/ToolbarPictures.h"
#include "app/Twips.h"
#include "app/frmAbout.h"
#include "files/FileWriter.h"
#include "files/dlgFileExists.h"
#include "gpslink/Connection.h"
#include "gpslink/GpsLink.h"
#include "gpslink/SerialStream.h"
#include "gpslink/frmCancel.h"
#include "gpslink/frmMonitor.h"
#include "model/TextNumber.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
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

QAction* NewAction(QObject* parent, const char* name, const QString& caption)
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmNavora::frmNavora(SettingsStore& settings, SerialStream& port, UserInteraction* interaction,
                     QWidget* parent)
    : QMainWindow(parent), settings_(settings), port_(port), interaction_(interaction)
{
    if (!interaction_) {
        messageBoxes_ = std::make_unique<MessageBoxInteraction>(
            this, [this](StatusPanel panel, const QString& text) { SetPanelText(panel, text); });
        interaction_ = messageBoxes_.get();
    }
    link_ = std::make_unique<GpsLink>(port_, *interaction_);
    if (messageBoxes_) {
        messageBoxes_->SetCancelWindow(
            [this](const QString& activity) {
                if (!cancel_)
                    cancel_ = std::make_unique<frmCancel>(*link_);
                setEnabled(false);
                cancel_->ShowActivity(activity);
            },
            [this] {
                if (cancel_)
                    cancel_->hide();
                setEnabled(true);
                activateWindow();
            });
        messageBoxes_->SetFileExistsDialog([this](const QString& text) {
            if (!fileExists_)
                fileExists_ = std::make_unique<dlgFileExists>(this);
            return fileExists_->Ask(text);
        });
    }
    connect(&port_, &SerialStream::PortError, this, [this](const QString& text) {
        ReportPortError(*link_, text, [] { QApplication::beep(); });
    });
    setObjectName(QStringLiteral("frmNavora"));
    setWindowTitle(QStringLiteral("Navora"));
    setContextMenuPolicy(Qt::NoContextMenu);

    BuildMenus();
    BuildToolBar();
    BuildLists();
    BuildStatusBar();

    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    setMinimumSize(TwipsToPixels(kMinimumInnerWidthTwips, dpiX),
                   TwipsToPixels(kMinimumInnerHeightTwips, dpiY) + menuBar()->sizeHint().height());
    resize(TwipsToPixels(kDesignWidthTwips, dpiX), TwipsToPixels(kDesignHeightTwips, dpiY));

    SetConnectedLook(false);
    // The design caption keeps its access key until the link first changes.
    mnuOpenGPS_->setText(QStringLiteral("&Connect to GPS"));
    UpdateRecordButtons();
}

frmNavora::~frmNavora() = default;

void frmNavora::BuildMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile_ = bar->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuSave_ = NewAction(this, "mnuSave", QStringLiteral("&Save to file"));
    mnuLoad_ = NewAction(this, "mnuLoad", QStringLiteral("&Load from file"));
    mnuFileExit_ = NewAction(this, "mnuFileExit", QStringLiteral("E&xit"));
    mnuFile_->addAction(mnuSave_);
    mnuFile_->addAction(mnuLoad_);
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("M3"));
    mnuFile_->addAction(mnuFileExit_);

    mnuPort_ = bar->addMenu(QStringLiteral("&Options"));
    mnuPort_->setObjectName(QStringLiteral("mnuPort"));
    mnuOpenLog_ = NewAction(this, "mnuOpenLog", QStringLiteral("Comm Port &Monitor"));
    mnuOpenLog_->setCheckable(true);
    mnuComm_ = NewAction(this, "mnuComm", QStringLiteral("Setup..."));
    mnuPort_->addAction(mnuOpenLog_);
    mnuPort_->addAction(mnuComm_);

    mnuCall_ = bar->addMenu(QStringLiteral("&GPS"));
    mnuCall_->setObjectName(QStringLiteral("mnuCall"));
    mnuOpenGPS_ = NewAction(this, "mnuOpenGPS", QStringLiteral("&Connect to GPS"));
    mnuCall_->addAction(mnuOpenGPS_);
    mnuCall_->addSeparator()->setObjectName(QStringLiteral("M1"));

    mnuDown_ = mnuCall_->addMenu(QStringLiteral("Download from GPS"));
    mnuDown_->setObjectName(QStringLiteral("mnuDown"));
    mnuDown_->addAction(NewAction(this, "mnuDownWay", QStringLiteral("Waypoints")));
    mnuDown_->addAction(NewAction(this, "mnuDownRoute", QStringLiteral("Routes")));
    mnuDown_->addAction(NewAction(this, "mnuDownTrack", QStringLiteral("Track")));

    mnuUp_ = mnuCall_->addMenu(QStringLiteral("Upload to GPS"));
    mnuUp_->setObjectName(QStringLiteral("mnuUp"));
    mnuUp_->addAction(NewAction(this, "mnuUpWay", QStringLiteral("Waypoints")));
    mnuUp_->addAction(NewAction(this, "mnuUpRoutes", QStringLiteral("Routes")));
    mnuUp_->addAction(NewAction(this, "mnuUpTrack", QStringLiteral("Track")));

    mnuDelete_ = mnuCall_->addMenu(QStringLiteral("Delete from GPS"));
    mnuDelete_->setObjectName(QStringLiteral("mnuDelete"));
    mnuDelete_->addAction(
        NewAction(this, "mnuDelWay", QStringLiteral("Delete ALL User Waypoints in GPS")));
    mnuDelete_->addAction(
        NewAction(this, "mnuDelRoute", QStringLiteral("Delete ALL Routes in GPS")));
    mnuDelete_->addAction(NewAction(this, "mnuDelTrack", QStringLiteral("Delete Track in GPS")));

    mnuAbout_ = NewAction(this, "mnuAbout", QStringLiteral("&About"));
    bar->addAction(mnuAbout_);

    // Commands whose work is not part of this window yet stay greyed until
    // they are connected.
    mnuComm_->setEnabled(false);
    for (QMenu* menu : {mnuDown_, mnuUp_, mnuDelete_}) {
        for (QAction* item : menu->actions())
            item->setEnabled(false);
    }

    connect(mnuSave_, &QAction::triggered, this, &frmNavora::mnuSave_Click);
    connect(mnuLoad_, &QAction::triggered, this, &frmNavora::mnuLoad_Click);
    connect(mnuFileExit_, &QAction::triggered, this, &frmNavora::mnuFileExit_Click);
    connect(mnuOpenGPS_, &QAction::triggered, this, &frmNavora::mnuOpenGPS_Click);
    connect(mnuOpenLog_, &QAction::triggered, this, &frmNavora::mnuOpenLog_Click);
    connect(mnuAbout_, &QAction::triggered, this, &frmNavora::mnuAbout_Click);
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
    };
    static const Button kButtons[] = {
        {"LoadFile", "Load", "Load from file", nullptr, ToolbarPicture::Load},
        {"SaveFile", "Save", "Save to file", nullptr, ToolbarPicture::Save},
        {"OpenGPS", "Connect", "Connect to GPS", nullptr, ToolbarPicture::Disconnected},
        {"Properties", "Setup", "Properties...", "Program Setup", ToolbarPicture::Setup},
        {"Insert", "New", "Insert new record", nullptr, ToolbarPicture::New},
        {"Edit", "Detail", "Edit selected record", nullptr, ToolbarPicture::Detail},
        {"Delete", "Delete", "Delete Selected Records", nullptr, ToolbarPicture::Delete},
        {"Upload", "Send", "Send data to GPS", nullptr, ToolbarPicture::Send},
        {"Download", "Get", "Get data from GPS", nullptr, ToolbarPicture::Get},
    };
    for (const Button& b : kButtons) {
        const QString description = QString::fromLatin1(b.description);
        QAction* button =
            AddButton(QString::fromLatin1(b.key), QString::fromLatin1(b.caption), description,
                      b.toolTip ? QString::fromLatin1(b.toolTip) : description);
        button->setIcon(ToolbarIcon(b.picture));
    }
    buttons_.at(QStringLiteral("Properties"))->setEnabled(false);

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
        auto* view = new ReportView(lists_.Of(kind), mode, stack_);
        view->setObjectName(QStringLiteral("ListView%1").arg(int(kind)));
        views_[size_t(int(kind) - 1)] = view;
        stack_->addWidget(view);
        connect(view, &ReportView::ColumnClick, this,
                [this, kind](int column) { ListView_ColumnClick(kind, column); });
        connect(view, &ReportView::DblClick, this, [this, kind] { ListView_DblClick(kind); });
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

void frmNavora::SetConnectedLook(bool connected)
{
    const QString openText =
        connected ? QStringLiteral("Disconnect from GPS") : QStringLiteral("Connect to GPS");
    mnuOpenGPS_->setText(openText);
    for (QMenu* menu : {mnuDown_, mnuUp_, mnuDelete_})
        menu->menuAction()->setEnabled(connected);
    QAction* open = buttons_.at(QStringLiteral("OpenGPS"));
    open->setIcon(
        ToolbarIcon(connected ? ToolbarPicture::Connected : ToolbarPicture::Disconnected));
    open->setProperty("description", openText);
    open->setToolTip(openText);
    open->setText(connected ? QStringLiteral("Disconn") : QStringLiteral("Connect"));
    buttons_.at(QStringLiteral("Download"))->setEnabled(connected && download_);
    buttons_.at(QStringLiteral("Upload"))->setEnabled(connected && upload_);
}

void frmNavora::SetTransfers(std::function<void(ListKind)> download,
                             std::function<void(ListKind)> upload)
{
    download_ = std::move(download);
    upload_ = std::move(upload);
    const bool connected = mnuDown_->menuAction()->isEnabled();
    buttons_.at(QStringLiteral("Download"))->setEnabled(connected && download_);
    buttons_.at(QStringLiteral("Upload"))->setEnabled(connected && upload_);
}

void frmNavora::SetWaypointEditor(std::function<void(int)> open)
{
    openWaypointEditor_ = std::move(open);
    UpdateRecordButtons();
}

void frmNavora::SetRouteEditor(std::function<void(int)> open)
{
    openRouteEditor_ = std::move(open);
    UpdateRecordButtons();
}

void frmNavora::SetWaypointDeleter(std::function<void()> remove)
{
    deleteWaypoints_ = std::move(remove);
    UpdateRecordButtons();
}

void frmNavora::SetReceiverDeleters(std::function<void(const QString&)> route,
                                    std::function<void()> track)
{
    deleteRouteInReceiver_ = std::move(route);
    deleteTrackInReceiver_ = std::move(track);
}

void frmNavora::UpdateRecordButtons()
{
    // New and Detail work on waypoints and routes only: the track is neither
    // inserted into nor edited.
    const bool editorThere =
        (currentList_ == 1 && openWaypointEditor_) || (currentList_ == 2 && openRouteEditor_);
    buttons_.at(QStringLiteral("Insert"))->setEnabled(editorThere);
    buttons_.at(QStringLiteral("Edit"))->setEnabled(editorThere);
    buttons_.at(QStringLiteral("Delete"))->setEnabled(currentList_ != 1 || deleteWaypoints_);
}

StartupResult frmNavora::Startup(const std::function<void(const QString&)>& applyGrid)
{
    currentList_ = 1;
    const StartupResult result = RunStartup(settings_, port_, state_, *interaction_, applyGrid);
    ApplyWindowSize(result);
    for (ReportView* view : views_)
        view->SetGridLines(result.gridLines);
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
    // The frame is not known before the window shows; showEvent takes it off.
    resize(outerSizeWanted_);
}

void frmNavora::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!outerSizeWanted_.isValid())
        return;
    const QSize wanted = outerSizeWanted_;
    outerSizeWanted_ = QSize();
    QTimer::singleShot(0, this, [this, wanted] {
        const QSize frame = frameGeometry().size() - geometry().size();
        if (!frame.isNull())
            resize(wanted - frame);
    });
}

bool frmNavora::Shutdown()
{
    // The drain lets events run, so a second Exit or close can arrive meanwhile.
    if (inShutdown_)
        return false;
    inShutdown_ = true;
    const bool portClosed = DrainAndClosePort(port_, *interaction_, drainLimit_);
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
    if (!shutDown_ && !Shutdown()) {
        event->ignore();
        return;
    }
    if (about_)
        about_->close();
    event->accept();
}

void frmNavora::mnuFileExit_Click()
{
    if (Shutdown())
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
    if (tab == currentList_ || tab < 1 || tab > 3)
        return;
    stack_->setCurrentIndex(tab - 1);
    currentList_ = tab;
    UpdateRecordButtons();
}

void frmNavora::tbrToolBar_ButtonClick(QAction* button)
{
    const QString key = button->data().toString();
    if (key == u"LoadFile")
        mnuLoad_Click();
    else if (key == u"SaveFile")
        mnuSave_Click();
    else if (key == u"Insert")
        InsertRecord();
    else if (key == u"Edit")
        EditRecord();
    else if (key == u"Delete")
        DeleteRecords();
    else if (key == u"OpenGPS")
        mnuOpenGPS_Click();
    else if (key == u"Download" && download_)
        download_(ListKind(currentList_));
    else if (key == u"Upload" && upload_)
        upload_(ListKind(currentList_));
}

void frmNavora::mnuSave_Click()
{
    const ListKind kind = ListKind(currentList_);
    if (lists_.Of(kind).Count() == 0) {
        interaction_->Message(QStringLiteral("There is nothing to save!"));
        return;
    }
    SaveListFile(kind, lists_, *interaction_);
}

void frmNavora::mnuLoad_Click()
{
    LoadListFile(ListKind(currentList_), lists_, state_, readerState_, *interaction_);
}

void frmNavora::mnuOpenGPS_Click()
{
    ConnectToggle(*link_, [this](bool connected) { SetConnectedLook(connected); });
}

void frmNavora::mnuOpenLog_Click()
{
    if (link_->MonitorOn()) {
        if (monitor_)
            monitor_->hide();
        link_->SetMonitorOn(false);
        mnuOpenLog_->setChecked(false);
        return;
    }
    if (!monitor_) {
        monitor_ = std::make_unique<frmMonitor>();
        connect(link_.get(), &GpsLink::MonitorText, monitor_.get(), &frmMonitor::ShowData);
        connect(monitor_.get(), &frmMonitor::CloseRequested, this, &frmNavora::mnuOpenLog_Click);
    }
    monitor_->ShowMonitor();
    link_->SetMonitorOn(true);
    mnuOpenLog_->setChecked(true);
}

void frmNavora::ListView_ColumnClick(ListKind kind, int column)
{
    if (kind == ListKind::Routes)
        return;
    ListModel& list = lists_.Of(kind);
    list.SortByColumn(column);
    QHeaderView* header = ListView(kind)->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(list.SortColumn(), list.SortOrder());
}

void frmNavora::ListView_DblClick(ListKind kind)
{
    const ListModel& list = lists_.Of(kind);
    const SelectionScan scan = ScanSelection(list);
    state_.editIndex = scan.lastSelected;
    switch (kind) {
    case ListKind::Waypoints:
        if (scan.count > 1) {
            // "Muliple" is the text users know; keep it as it is.
            interaction_->Message(QStringLiteral("Muliple waypoints selected!\r\n"
                                                 "You can only edit one waypoint at a time"));
            return;
        }
        if (openWaypointEditor_)
            openWaypointEditor_(state_.editIndex);
        break;
    case ListKind::Routes:
        if (openRouteEditor_)
            openRouteEditor_(state_.editIndex);
        break;
    case ListKind::Track:
        break;
    }
}

void frmNavora::EditRecord()
{
    ListView_DblClick(ListKind(currentList_));
}

void frmNavora::InsertRecord()
{
    state_.editIndex = -1;
    if (currentList_ == 1 && openWaypointEditor_)
        openWaypointEditor_(-1);
    else if (currentList_ == 2 && openRouteEditor_)
        openRouteEditor_(-1);
}

void frmNavora::DeleteRecords()
{
    const ListKind kind = ListKind(currentList_);
    ListModel& list = lists_.Of(kind);
    if (!HasSelection(list))
        return;
    switch (kind) {
    case ListKind::Waypoints:
        if (deleteWaypoints_)
            deleteWaypoints_();
        break;
    case ListKind::Routes: {
        if (interaction_->Question(QStringLiteral("Are you sure you want to delete this route?"),
                                   Buttons::YesNo) != Answer::Yes)
            return;
        // The route of the row the user is on; with several rows selected
        // only that one route goes.
        const QModelIndex current = ListView(kind)->currentIndex();
        const int row = current.isValid() && list.IsSelected(current.row())
                            ? current.row()
                            : ScanSelection(list).lastSelected;
        const QString id = list.Text(row, RouteColumn::Id);
        if (port_.IsOpen() && deleteRouteInReceiver_ &&
            interaction_->Question(QStringLiteral("Delete route from GPS as well?"),
                                   Buttons::YesNo) == Answer::Yes)
            deleteRouteInReceiver_(id.left(2));
        RemoveRoute(lists_, int(LeadingNumber(id)));
        break;
    }
    case ListKind::Track:
        if (interaction_->Question(QStringLiteral("Delete all track points?"), Buttons::YesNo) !=
            Answer::Yes)
            return;
        if (port_.IsOpen() && deleteTrackInReceiver_ &&
            interaction_->Question(QStringLiteral("Delete Track information from GPS as well?"),
                                   Buttons::YesNo) == Answer::Yes)
            deleteTrackInReceiver_();
        list.Clear();
        break;
    }
}
