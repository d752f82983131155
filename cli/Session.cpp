#include "cli/Session.h"

#include "gpslink/Connection.h"
#include "gpslink/Platform.h"
#include "workspace/Settings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace {

const QString kDefaultDatum = QStringLiteral("WGS84 World Geodetic System");

} // namespace

Session::Session(const Invocation& invocation, MessageStream& out, Interrupts& interrupts)
    : invocation_(invocation), out_(out), interrupts_(interrupts),
      ui_(out, interrupts, invocation.yes, IsTerminal(0) && IsTerminal(2)), space_(port_, ui_),
      trace_(space_.Link(), out)
{
    QObject::connect(&interrupts_, &Interrupts::Arrived, &space_, [this] { space_.Cancel(); });
}

int Session::Prepare(bool usesPort)
{
    // Start-up runs over a copy, so the user's own settings are never
    // written: a datum never set counts as WGS84 without the first-run
    // message, and a port setting the options replace is left out.
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Navora"),
                   QStringLiteral("Navora"));
    const SettingsStore stored(user);
    QTemporaryDir scratchFolder;
    QSettings scratch(scratchFolder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    SettingsStore copy(scratch);
    for (const QString& key :
         {SettingsKey::Settings, SettingsKey::CommPort, SettingsKey::Datum,
          SettingsKey::WaypointHeights, SettingsKey::Grid, SettingsKey::OsgbSheet}) {
        if (key == SettingsKey::Settings && (!usesPort || invocation_.speed))
            continue;
        if (key == SettingsKey::CommPort && (!usesPort || invocation_.port))
            continue;
        const QString value = stored.Read(key);
        if (!value.isEmpty())
            copy.Write(key, value);
    }
    if (copy.Read(SettingsKey::Datum).left(5).trimmed().isEmpty())
        copy.Write(SettingsKey::Datum, kDefaultDatum);
    if (!RunStartup(copy, port_, space_.State(), ui_, {}).completed)
        return ExitStatus::kFailed;

    if (invocation_.speed) {
        if (const auto error = port_.SetSettings(*invocation_.speed + QStringLiteral(",n,8,1"))) {
            ui_.Message(*error, MessageIcon::Exclamation);
            return ExitStatus::kUsage;
        }
    }
    if (invocation_.port) {
        if (const auto error = port_.SetPort(*invocation_.port)) {
            ui_.Message(*error, MessageIcon::Exclamation);
            return ExitStatus::kUsage;
        }
    }
    if (invocation_.heights)
        space_.State().heightsMode = *invocation_.heights;
    if (invocation_.timeout)
        space_.Link().SetTimeout(*invocation_.timeout);
    if (const auto error = trace_.Start(invocation_.monitor, invocation_.logPath)) {
        ui_.Message(invocation_.logPath + QStringLiteral(" could not be written: ") + *error,
                    MessageIcon::Exclamation);
        return ExitStatus::kFile;
    }
    return ExitStatus::kSuccess;
}

ExchangeOutcome Session::Connect()
{
    if (Interrupted())
        return ExchangeOutcome::Cancelled;
    return space_.ConnectToggle();
}

void Session::Disconnect()
{
    if (space_.Connected() || port_.IsOpen())
        space_.ConnectToggle();
    if (const auto error = trace_.LogError())
        ui_.Message(invocation_.logPath + QStringLiteral(" could not be written: ") + *error,
                    MessageIcon::Exclamation);
}

bool Session::Interrupted()
{
    QCoreApplication::processEvents();
    return interrupts_.Interrupted();
}

int Session::StatusOf(ExchangeOutcome outcome) const
{
    if (interrupts_.Interrupted())
        return interrupts_.ExitStatus();
    switch (outcome) {
    case ExchangeOutcome::Completed:
        return ExitStatus::kSuccess;
    case ExchangeOutcome::Declined:
        return ExitStatus::kDeclined;
    case ExchangeOutcome::Cancelled:
    case ExchangeOutcome::Failed:
    case ExchangeOutcome::Busy:
        break;
    }
    return ExitStatus::kFailed;
}

int Session::StatusOf(FileStatus status) const
{
    switch (status) {
    case FileStatus::Read:
    case FileStatus::Written:
        return ExitStatus::kSuccess;
    case FileStatus::Cancelled:
        return ExitStatus::kDeclined;
    case FileStatus::Busy:
        return ExitStatus::kFailed;
    case FileStatus::Failed:
    case FileStatus::NotThatKind:
    case FileStatus::NothingToSave:
        break;
    }
    return ExitStatus::kFile;
}

int Session::Worse(int status, int other) const
{
    if (interrupts_.Interrupted())
        return interrupts_.ExitStatus();
    return status != ExitStatus::kSuccess ? status : other;
}
