#pragma once

#include "model/ListKind.h"
#include "model/ProgramState.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

// The command line of navora-cli: the options that say how to reach the
// receiver and how to talk to the user, one command and what it acts on.

enum class CommandName
{
    Ports,
    Info,
    Download,
    Upload,
    Delete,
    Show,
    GridRef,
    LatLon
};

struct Invocation
{
    bool help = false;
    bool version = false;

    std::optional<QString> port;  // a device path, or 1 to 16 for Com1 to Com16
    std::optional<QString> speed; // baud
    std::optional<HeightsMode> heights;
    bool monitor = false;
    QString logPath;
    bool yes = false;
    std::optional<std::chrono::milliseconds> timeout;

    CommandName command = CommandName::Ports;
    std::optional<ListKind> kind; // nothing for "all"
    QString input;                // -i: a file, or "-" for standard input
    QString output;               // -o: a file; empty or "-" for standard output
    QString directory;            // -d
    bool verify = false;
    QString grid; // "OSGB", "OSNI", "OSRoI" or "UTM"
    bool sheet = false;
    QStringList values; // the position or the reference
};

struct ParsedArguments
{
    std::optional<Invocation> invocation;
    QString error; // names the wrong option, command or value
};

// Reads the arguments that follow the program's name. Options may stand
// before or after the command; numbers such as "-0.1" are values, not
// options. --help and --version win over everything else.
ParsedArguments ParseArguments(const QStringList& arguments);

// The synopsis printed after a usage error.
QString UsageText();
// Everything --help prints.
QString HelpText();
