#pragma once

#include "model/ProgramState.h"
#include "model/UserInteraction.h"

#include <QSettings>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

class SerialStream;

// The per-user settings: application "Navora", group "Properties", keys whose
// values are all text. The store is handed in so that tests never touch
// the user's own settings.
class SettingsStore
{
public:
    explicit SettingsStore(QSettings& settings) : settings_(settings) {}

    QString Read(const QString& key, const QString& fallback = {}) const;
    void Write(const QString& key, const QString& value);

private:
    QSettings& settings_;
};

namespace SettingsKey {
inline const QString Height = QStringLiteral("Height");
inline const QString Width = QStringLiteral("Width");
inline const QString Settings = QStringLiteral("Settings");
inline const QString CommPort = QStringLiteral("CommPort");
inline const QString Gridlines = QStringLiteral("Gridlines");
inline const QString Datum = QStringLiteral("Datum");
inline const QString WaypointHeights = QStringLiteral("WaypointHeights");
inline const QString Grid = QStringLiteral("Grid");
inline const QString OsgbSheet = QStringLiteral("OSGB Sheet");
// The folder the file dialogs last worked in, where the next one starts.
inline const QString LastFolder = QStringLiteral("Last Folder");
} // namespace SettingsKey

// What start-up leaves for the window to apply.
struct StartupResult
{
    std::optional<int> heightTwips; // absent when the stored value is not a number
    std::optional<int> widthTwips;
    bool gridLines = false;
    // False when a port setting failed: the later steps were not run.
    bool completed = false;
};

// The start-up sequence: reads the settings in their order, applies the port
// parameters (stopping at the first port error, after showing it with the
// setting and its value), sets the
// program-wide values, writes the status panels and, last, calls `applyGrid`
// with the stored grid name.
StartupResult RunStartup(SettingsStore& settings, SerialStream& port, ProgramState& state,
                         UserInteraction& ui,
                         const std::function<void(const QString& grid)>& applyGrid);

// The shutdown drain: while the open port still holds unsent output, waits
// (letting events run) up to `limit`, then asks "Data cannot be sent" with
// Abort, Retry and Ignore. Returns false on Abort: the program stays open and
// the port with it. Otherwise the port is closed and the result is true.
bool DrainAndClosePort(SerialStream& port, UserInteraction& ui,
                       std::chrono::milliseconds limit = std::chrono::seconds(10));

// Stores the outer window size in twips, as decimal text.
void StoreWindowSize(SettingsStore& settings, int heightTwips, int widthTwips);
