#include "workspace/Settings.h"

#include "gpslink/SerialStream.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

const QString kGroup = QStringLiteral("Properties");

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value < 0 || value > 1e7)
        return std::nullopt;
    return static_cast<int>(value);
}

// A stored port setting start-up cannot use: the port's reason, which
// setting holds what, and where the user mends it.
QString UnusableSetting(const QString& error, const QString& key, const QString& value)
{
    return QStringLiteral("%1\r\nThe setting %2 holds \"%3\". Correct it with Options, Setup...")
        .arg(error, key, value);
}

} // namespace

QString SettingsStore::Read(const QString& key, const QString& fallback) const
{
    // An ini file written by hand may hold "4800,n,8,1" unquoted, which the
    // store reads back as a list of four; the value is the text all the same.
    const QVariant value = settings_.value(kGroup + u'/' + key, fallback);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void SettingsStore::Write(const QString& key, const QString& value)
{
    settings_.setValue(kGroup + u'/' + key, value);
}

StartupResult RunStartup(SettingsStore& settings, SerialStream& port, ProgramState& state,
                         UserInteraction& ui,
                         const std::function<void(const QString& grid)>& applyGrid)
{
    StartupResult result;
    result.heightTwips = WholeNumber(settings.Read(SettingsKey::Height, QStringLiteral("6700")));
    result.widthTwips = WholeNumber(settings.Read(SettingsKey::Width, QStringLiteral("8900")));

    // A port error ends start-up here: the user mends it with Setup.
    const QString portSettings = settings.Read(SettingsKey::Settings);
    if (!portSettings.isEmpty()) {
        if (const auto error = port.SetSettings(portSettings)) {
            ui.Message(UnusableSetting(*error, SettingsKey::Settings, portSettings),
                       MessageIcon::Exclamation);
            return result;
        }
    }
    const QString commPort = settings.Read(SettingsKey::CommPort);
    if (!commPort.isEmpty()) {
        if (const auto error = port.SetPort(commPort)) {
            ui.Message(UnusableSetting(*error, SettingsKey::CommPort, commPort),
                       MessageIcon::Exclamation);
            return result;
        }
    }
    port.SetHandshakingNone();

    result.gridLines =
        settings.Read(SettingsKey::Gridlines, QStringLiteral("0")).trimmed().toDouble() != 0;

    state.currentDatumCode = settings.Read(SettingsKey::Datum).left(5).trimmed();
    if (state.currentDatumCode.isEmpty()) {
        settings.Write(SettingsKey::Datum, QStringLiteral("WGS84 World Geodetic System"));
        state.currentDatumCode = QStringLiteral("WGS84");
        ui.Message(QStringLiteral("No datum was set, it has defaulted to WGS84"),
                   MessageIcon::Information, QStringLiteral("Navora - Datum"));
    }

    const int heights =
        settings.Read(SettingsKey::WaypointHeights, QStringLiteral("0")).trimmed().toInt();
    state.heightsMode = (heights == 1 || heights == 2) ? HeightsMode(heights) : HeightsMode::Keep;

    ui.SetStatusText(StatusPanel::Status, QStringLiteral("Status: Disconnected"));
    ui.SetStatusText(StatusPanel::Settings, SettingsPanelText(port));
    ui.SetStatusText(StatusPanel::Datum, state.currentDatumCode);

    state.currentGrid = settings.Read(SettingsKey::Grid, QStringLiteral("OSGB"));
    if (state.currentGrid == u"OSGB")
        state.useSheetId =
            settings.Read(SettingsKey::OsgbSheet, QStringLiteral("1")).trimmed().toInt() != 0;
    if (applyGrid)
        applyGrid(state.currentGrid);

    result.completed = true;
    return result;
}

bool DrainAndClosePort(SerialStream& port, UserInteraction& ui, std::chrono::milliseconds limit)
{
    if (!port.IsOpen())
        return true;
    for (;;) {
        // Wake when bytes leave the port or the deadline passes; nothing polls.
        QDeadlineTimer deadline(limit, Qt::PreciseTimer);
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&port, &SerialStream::BytesWritten, &loop, &QEventLoop::quit);
        while (port.IsOpen() && port.BytesToWrite() > 0 && !deadline.hasExpired()) {
            timer.start(std::chrono::milliseconds(deadline.remainingTime()));
            loop.exec();
        }
        if (!port.IsOpen() || port.BytesToWrite() == 0)
            break;
        const Answer answer = ui.Question(QStringLiteral("Data cannot be sent"),
                                          Buttons::AbortRetryIgnore, MessageIcon::Exclamation);
        if (answer == Answer::Abort)
            return false;
        if (answer != Answer::Retry)
            break;
    }
    port.Close();
    return true;
}

void StoreWindowSize(SettingsStore& settings, int heightTwips, int widthTwips)
{
    settings.Write(SettingsKey::Height, QString::number(heightTwips));
    settings.Write(SettingsKey::Width, QString::number(widthTwips));
}
