#include "cli/Arguments.h"

#include "coords/NationalGrid.h"

#include <QFileInfo>
#include <QMap>
#include <cmath>

namespace {

enum class Option
{
    Port,
    Speed,
    Heights,
    Monitor,
    Log,
    Yes,
    Timeout,
    Help,
    Version,
    Output,
    Input,
    Directory,
    Verify,
    Grid,
    Sheet
};

struct OptionName
{
    Option option;
    const char* name;
    char letter; // 0 when the option has no one-letter form
    bool takesValue;
};

const OptionName kOptions[] = {
    {Option::Port, "port", 0, true},        {Option::Speed, "speed", 0, true},
    {Option::Heights, "heights", 0, true},  {Option::Monitor, "monitor", 0, false},
    {Option::Log, "log", 0, true},          {Option::Yes, "yes", 0, false},
    {Option::Timeout, "timeout", 0, true},  {Option::Help, "help", 'h', false},
    {Option::Version, "version", 0, false}, {Option::Output, "output", 'o', true},
    {Option::Input, "input", 'i', true},    {Option::Directory, "directory", 'd', true},
    {Option::Verify, "verify", 0, false},   {Option::Grid, "grid", 0, true},
    {Option::Sheet, "sheet", 0, false},
};

const OptionName* FindOption(const QString& token, QString* inlineValue)
{
    if (token.startsWith(QStringLiteral("--"))) {
        QString name = token.mid(2);
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            *inlineValue = name.mid(equals + 1);
            name.truncate(equals);
        }
        for (const OptionName& option : kOptions) {
            if (name == QLatin1String(option.name))
                return &option;
        }
        return nullptr;
    }
    for (const OptionName& option : kOptions) {
        if (option.letter && token.size() == 2 && token[1] == QLatin1Char(option.letter))
            return &option;
    }
    return nullptr;
}

// A negative number ("-0.1") and "-" (standard input or output) are values.
bool IsValue(const QString& token)
{
    if (!token.startsWith(u'-') || token.size() == 1)
        return true;
    return token[1].isDigit() || token[1] == u'.';
}

std::optional<ListKind> KindNamed(const QString& word)
{
    if (word == u"waypoints")
        return ListKind::Waypoints;
    if (word == u"routes")
        return ListKind::Routes;
    if (word == u"track")
        return ListKind::Track;
    return std::nullopt;
}

// Which command each command option goes with.
bool OptionFits(Option option, const Invocation& in)
{
    const bool all = !in.kind.has_value();
    switch (option) {
    case Option::Output:
        return in.command == CommandName::Download && !all;
    case Option::Input:
        return (in.command == CommandName::Upload && !all) || in.command == CommandName::Show;
    case Option::Directory:
        return (in.command == CommandName::Download || in.command == CommandName::Upload) && all;
    case Option::Verify:
        return in.command == CommandName::Upload;
    case Option::Grid:
    case Option::Sheet:
        return in.command == CommandName::GridRef || in.command == CommandName::LatLon;
    default:
        return true;
    }
}

ParsedArguments Wrong(const QString& error)
{
    return {std::nullopt, error};
}

} // namespace

ParsedArguments ParseArguments(const QStringList& arguments)
{
    Invocation in;
    QStringList positionals;
    QMap<Option, QString> given; // each option with the token it was given as
    QMap<Option, QString> values;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& token = arguments[i];
        if (token == u"--") {
            positionals += arguments.mid(i + 1);
            break;
        }
        if (IsValue(token)) {
            positionals << token;
            continue;
        }
        QString inlineValue;
        const OptionName* option = FindOption(token, &inlineValue);
        if (!option)
            return Wrong(QStringLiteral("unknown option ") + token);
        const QString written = token.section(u'=', 0, 0);
        if (option->takesValue) {
            if (!token.contains(u'=')) {
                if (i + 1 >= arguments.size())
                    return Wrong(QStringLiteral("option ") + written +
                                 QStringLiteral(" needs a value"));
                inlineValue = arguments[++i];
            }
            values[option->option] = inlineValue;
        } else if (token.contains(u'=')) {
            return Wrong(QStringLiteral("option ") + written + QStringLiteral(" takes no value"));
        }
        given[option->option] = written;
    }

    if (given.contains(Option::Help) || given.contains(Option::Version)) {
        in.help = given.contains(Option::Help);
        in.version = !in.help;
        return {in, {}};
    }

    if (given.contains(Option::Port)) {
        // A device named from the current folder (a link to a pseudo-terminal,
        // say) is opened by its whole path; a bare name such as ttyUSB0 or
        // COM3 is left to the serial port to find.
        const QFileInfo device(values[Option::Port]);
        in.port = device.exists() && device.isRelative() ? device.absoluteFilePath()
                                                         : values[Option::Port];
    }
    if (given.contains(Option::Speed)) {
        bool ok = false;
        const int speed = values[Option::Speed].toInt(&ok);
        if (!ok || speed <= 0)
            return Wrong(QStringLiteral("--speed takes a number of baud, not ") +
                         values[Option::Speed]);
        in.speed = QString::number(speed);
    }
    if (given.contains(Option::Heights)) {
        const QString& mode = values[Option::Heights];
        if (mode == u"keep")
            in.heights = HeightsMode::Keep;
        else if (mode == u"feet")
            in.heights = HeightsMode::Feet;
        else if (mode == u"metres")
            in.heights = HeightsMode::Metres;
        else
            return Wrong(QStringLiteral("--heights takes keep, feet or metres, not ") + mode);
    }
    if (given.contains(Option::Timeout)) {
        bool ok = false;
        const double seconds = values[Option::Timeout].toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > 3600)
            return Wrong(QStringLiteral("--timeout takes a number of seconds, not ") +
                         values[Option::Timeout]);
        in.timeout = std::chrono::milliseconds(std::llround(seconds * 1000));
    }
    in.monitor = given.contains(Option::Monitor);
    in.logPath = values.value(Option::Log);
    if (given.contains(Option::Log) && in.logPath.isEmpty())
        return Wrong(QStringLiteral("--log needs a file name"));
    in.yes = given.contains(Option::Yes);
    in.input = values.value(Option::Input);
    in.output = values.value(Option::Output);
    in.directory = values.value(Option::Directory);
    in.verify = given.contains(Option::Verify);
    in.sheet = given.contains(Option::Sheet);

    if (positionals.isEmpty())
        return Wrong(QStringLiteral("no command given"));
    const QString command = positionals.takeFirst();
    static const QMap<QString, CommandName> kCommands{
        {QStringLiteral("ports"), CommandName::Ports},
        {QStringLiteral("info"), CommandName::Info},
        {QStringLiteral("download"), CommandName::Download},
        {QStringLiteral("upload"), CommandName::Upload},
        {QStringLiteral("delete"), CommandName::Delete},
        {QStringLiteral("show"), CommandName::Show},
        {QStringLiteral("gridref"), CommandName::GridRef},
        {QStringLiteral("latlon"), CommandName::LatLon}};
    if (!kCommands.contains(command))
        return Wrong(QStringLiteral("unknown command ") + command);
    in.command = kCommands.value(command);

    switch (in.command) {
    case CommandName::Ports:
    case CommandName::Info:
        break;
    case CommandName::Download:
    case CommandName::Upload:
    case CommandName::Delete:
    case CommandName::Show: {
        const bool allowsAll =
            in.command == CommandName::Download || in.command == CommandName::Upload;
        const QString word = positionals.isEmpty() ? QString() : positionals.takeFirst();
        in.kind = KindNamed(word);
        if (!in.kind && !(allowsAll && word == u"all"))
            return Wrong(command +
                         (allowsAll ? QStringLiteral(" takes waypoints, routes, track or all")
                                    : QStringLiteral(" takes waypoints, routes or track")) +
                         (word.isEmpty() ? QString() : QStringLiteral(", not ") + word));
        break;
    }
    case CommandName::GridRef:
    case CommandName::LatLon:
        in.values = positionals;
        positionals.clear();
        break;
    }
    if (!positionals.isEmpty())
        return Wrong(QStringLiteral("unexpected argument ") + positionals.first());
    const bool all = !in.kind.has_value();
    const bool transfer = in.command == CommandName::Download || in.command == CommandName::Upload;
    for (auto it = given.cbegin(); it != given.cend(); ++it) {
        if (!OptionFits(it.key(), in))
            return Wrong(QStringLiteral("option ") + it.value() +
                         QStringLiteral(" does not go with ") + command +
                         (transfer && all ? QStringLiteral(" all") : QString()));
    }

    if (transfer && all && in.directory.isEmpty())
        return Wrong(command + QStringLiteral(" all needs -d DIR"));
    if (((in.command == CommandName::Upload && !all) || in.command == CommandName::Show) &&
        in.input.isEmpty())
        return Wrong(command + QStringLiteral(" needs -i FILE"));
    if (in.command == CommandName::GridRef || in.command == CommandName::LatLon) {
        const QString grid = values.value(Option::Grid);
        for (const QString& name : {QStringLiteral("OSGB"), QStringLiteral("OSNI"),
                                    QStringLiteral("OSRoI"), QStringLiteral("UTM")}) {
            if (grid.compare(name, Qt::CaseInsensitive) == 0)
                in.grid = name;
        }
        if (in.grid.isEmpty())
            return Wrong(command + QStringLiteral(" needs --grid OSGB, OSNI, OSRoI or UTM") +
                         (grid.isEmpty() ? QString() : QStringLiteral(", not ") + grid));
        if (in.sheet && in.grid != u"OSGB")
            return Wrong(QStringLiteral("--sheet goes with --grid OSGB only"));
        if (in.command == CommandName::GridRef && in.values.size() != 2)
            return Wrong(QStringLiteral("gridref takes a latitude and a longitude"));
        if (in.command == CommandName::LatLon && in.values.isEmpty())
            return Wrong(QStringLiteral("latlon takes a grid reference"));
    }
    return {in, {}};
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: navora-cli [--port DEVICE] [--speed BAUD] [--heights keep|feet|metres] "
        "[--monitor] [--log FILE] [--yes] [--timeout SECONDS] COMMAND ...\n"
        "Commands: ports, info, download, upload, delete, show, gridref, latlon.\n"
        "Try 'navora-cli --help' for more.\n");
}

QString HelpText()
{
    return QStringLiteral(
        "Usage: navora-cli [OPTION]... COMMAND ...\n"
        "Backs up, restores, checks and converts the waypoints, routes and track log of a\n"
        "Magellan hand-held GPS receiver, with Navora's own exchanges, files and texts.\n"
        "\n"
        "Commands:\n"
        "  ports                             list the serial devices present (path and adapter\n"
        "                                    description)\n"
        "  info                              connect, print the receiver's model code, model name\n"
        "                                    and version, disconnect\n"
        "  download waypoints|routes|track [-o FILE]\n"
        "                                    fetch one list into a Navora text file (standard\n"
        "                                    output by default); routes fetch the waypoints too,\n"
        "                                    for the positions of their points\n"
        "  download all -d DIR               waypoints.txt, routes.txt and track.txt in DIR\n"
        "  upload waypoints|routes|track -i FILE [--verify]\n"
        "                                    send the list read from a Navora text file (-i -\n"
        "                                    reads standard input); --verify reads it back and\n"
        "                                    reports every difference on standard output\n"
        "  upload all -d DIR [--verify]      the three files of a backup, waypoints first\n"
        "  delete waypoints|routes|track     delete all of that kind in the receiver\n"
        "  show waypoints|routes|track -i FILE\n"
        "                                    print the rows the file gives, one per line, cells\n"
        "                                    separated by tabs\n"
        "  gridref --grid OSGB|OSNI|OSRoI|UTM [--sheet] LAT LON\n"
        "                                    print the grid reference of a WGS84 position given\n"
        "                                    in decimal degrees, south and west negative\n"
        "  latlon --grid OSGB|OSNI|OSRoI|UTM [--sheet] REF...\n"
        "                                    print latitude and longitude of a reference, in\n"
        "                                    decimal degrees and in the receiver's form\n"
        "\n"
        "Options:\n"
        "  --port DEVICE      the serial port: a device path, or 1 to 16 for Com1 to Com16\n"
        "  --speed BAUD       its speed: 1200, 4800, 9600 or 19200\n"
        "  --heights keep|feet|metres\n"
        "                     waypoint heights as received or read, or turned into feet or\n"
        "                     metres\n"
        "  --monitor          print the traffic on standard error as the monitor shows it\n"
        "  --log FILE         write the traffic to FILE, each line with its time\n"
        "  --yes              answer Yes or OK to every question\n"
        "  --timeout SECONDS  how long to wait for a line from the receiver (default 4)\n"
        "  --sheet            an OSGB reference with its two square letters, such as\n"
        "                     TQ 31979 79607 (latlon knows one by its letters)\n"
        "  -h, --help         show this help and exit\n"
        "  --version          show the version and exit\n"
        "\n"
        "Without --port and --speed, the port, its speed, the heights and the datum are those\n"
        "set in Navora, whose settings navora-cli reads and never writes. A file name ending in\n"
        ".gpx is read and written as GPX (reading one asks before it takes the file's lists).\n"
        "Messages go to standard error, data alone to standard output. Questions are asked on\n"
        "the terminal; with no terminal and no --yes the answer is No or Cancel. An upload\n"
        "asks every question, those of each list it sends, before it connects. Ctrl+C stops\n"
        "the running exchange as the Cancel button does; a second Ctrl+C ends at once. A\n"
        "download that does not complete writes the rows received to FILE.partial and leaves\n"
        "FILE as it was.\n"
        "\n"
        "A backup restored with upload all gives the receiver what it held, except for what\n"
        "the protocol and the files change on the way:\n"
        "  - waypoint altitudes are padded to seven characters (01345 becomes 0001345,\n"
        "    -30 becomes -000030);\n"
        "  - descriptions are put in upper case and cut to 20 characters;\n"
        "  - a waypoint icon outside a to t becomes a;\n"
        "  - a position of exactly 0 degrees 0 minutes south or west becomes north or east;\n"
        "  - a track point's date is not sent back, as the track sentence the host sends has\n"
        "    no date field, so the receiver names the point TRAK01 when it sends it again\n"
        "    (the name it keeps is the file's, cut to six characters);\n"
        "  - a track point's time keeps whole seconds: fractions go back as .00;\n"
        "  - a track point without an altitude goes back as 0000000 metres.\n"
        "upload --verify allows for these changes, and for the receiver keeping one waypoint\n"
        "of each name, and reports every other difference.\n"
        "\n"
        "Exit status: 0 success; 1 the receiver or the link failed, or --verify found\n"
        "differences; 2 wrong usage, or a position or reference outside the grid; 3 a file\n"
        "could not be read or written, or is not a file of that kind; 4 declined at a\n"
        "question (nothing sent); 130 after Ctrl+C.\n");
}
