#pragma once

#include "model/ListModel.h"
#include "model/ProgramState.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What the properties dialog offers and shows, and the parts of its OK that
// need no port: the datum code of an entry and the height conversion of the
// waypoint list. The port, the program values and the stored settings are
// the workspace's (Workspace::ApplyProperties).

namespace PropertyText {
// Its second line is set off by a carriage return alone, as users know it.
inline const QString SpeedWarning = QStringLiteral(
    "WARNING: Speeds higher than 4800 MAY force the GPS to be placed in Data "
    "Transfer mode.\rThese rates and transfer mode may not be supported by your GPS");
} // namespace PropertyText

// "1200", "4800", "9600", "19200".
QStringList PortSpeeds();
// The 73 receiver datums: a five-character code, a blank and a description.
QStringList DatumEntries();
// The grids in the order of the dialog's options.
QStringList GridNames();

// A serial device the system has, such as a USB adapter.
struct SerialDevice
{
    QString path;        // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART"; may be empty
};

// The serial devices present now, Com1 to Com16 left out unless asked for.
std::vector<SerialDevice> PresentSerialDevices(bool withComPorts = false);

// The port list: "Com1" to "Com16", then each device present as its path and
// description, "/dev/ttyUSB0 (FT232R USB UART)".
QStringList PortEntries(const std::vector<SerialDevice>& devices);
// What the port box shows for a stored port: "Com3" for "3", a present
// device's entry for its path, and anything else (a device that is gone)
// as it stands, as if typed.
QString PortEntryText(const QString& port, const std::vector<SerialDevice>& devices);
// The port setting for the text of the port box: "3" for "Com3", the path
// for a device's entry, a typed path as it stands.
QString PortSetting(const QString& entry);

// The dialog's choices, as LoadPropertySettings shows them and OK reads them.
struct PropertyChoices
{
    QString port;  // the text of the port box
    QString speed; // the text of the speed box
    QString datum; // the text of the datum box
    bool gridLines = false;
    HeightsMode heights = HeightsMode::Keep;
    int grid = -1; // the option of GridNames() chosen, -1 none
    bool sheet = true;
    // Whether "Use OS Sheet ID" can be ticked; nothing leaves it as it is.
    std::optional<bool> sheetEnabled;
};

// The values the dialog opens with.
struct CurrentProperties
{
    QString port;         // as the settings store it: "1" or a device path
    QString portSettings; // "4800,n,8,1"
    bool gridLines = false;
    QString storedDatum;
    QString storedSheet; // the stored "OSGB Sheet", "1" when never stored
    HeightsMode heights = HeightsMode::Keep;
    QString grid;
};

PropertyChoices LoadPropertySettings(const CurrentProperties& current,
                                     const std::vector<SerialDevice>& devices);

// The datum code of a datum box text: what comes before its first blank, or
// nothing when it has no blank.
std::optional<QString> DatumCodeOf(const QString& entry);

// Turns the waypoint heights into the unit of `mode`: in feet mode every
// height in metres becomes feet, in metres mode every height in feet becomes
// metres; the other mode changes nothing.
void ConvertWaypointHeights(ListModel& waypoints, HeightsMode mode);
