// navora-gpssim: a simulated Magellan hand-held on a pseudo-terminal, so the
// program can be tried and tested without a receiver. The first line on
// standard output is the device path to open; see tools/README.md.

#include "gpslink/Platform.h"
#include "tools/gpssim/HostLine.h"
#include "tools/gpssim/Receiver.h"
#include "tools/gpssim/ReceiverMemory.h"
#include "tools/gpssim/Trace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cstdio>
#include <optional>

namespace {

int Fail(const QString& text)
{
    std::fprintf(stderr, "navora-gpssim: %s\n", qPrintable(text));
    return 1;
}

std::optional<int> Count(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        return 0;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("navora-gpssim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated Magellan receiver on a pseudo-terminal. Prints the device "
                       "path as its first line of output."));
    parser.addHelpOption();
    const auto option = [&](const char* name, const char* help, const char* value = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help));
        if (value)
            o.setValueName(QString::fromLatin1(value));
        parser.addOption(o);
    };
    option("link", "Also make PATH a symbolic link to the device (removed at exit).", "PATH");
    option("memory", "Load the receiver's memory from FILE and save every change to it.", "FILE");
    option("model", "Model code of the version sentence (default 025).", "CODE");
    option("model-name", "Model name of the version sentence (default \"MAP 410\").", "TEXT");
    option("software", "Software version of the version sentence (default 4.02).", "TEXT");
    option("acks-on", "Start with acknowledgements on.");
    option("log", "Append every line received to FILE.", "FILE");
    option("verbose", "Describe the traffic on standard error.");
    option("silent", "Answer nothing.");
    option("baud", "Be a serial line of N baud both ways (10 bits a character).", "N");
    option("nmea", "Stream standard NMEA sentences until a STOP command.");
    option("corrupt-nth", "Send the Nth waypoint, route or track sentence with a wrong checksum.",
           "N");
    option("wrong-echo", "Mishear the first N sentences: echo a wrong checksum, take nothing.",
           "N");
    option("noise", "Send a few stray bytes before every sentence.");
    option("hangup-after", "Close the device after sending N sentences.", "N");
    option("ignore-version", "Ignore the first N VERSION commands.", "N");
    option("resend-seconds", "Send an unacknowledged sentence again after S seconds (default 3).",
           "S");
    parser.process(app);

    Receiver::Options options;
    if (parser.isSet(QStringLiteral("model")))
        options.modelCode = parser.value(QStringLiteral("model"));
    if (parser.isSet(QStringLiteral("model-name")))
        options.modelName = parser.value(QStringLiteral("model-name"));
    if (parser.isSet(QStringLiteral("software")))
        options.software = parser.value(QStringLiteral("software"));
    options.memoryFile = parser.value(QStringLiteral("memory"));
    options.acksOn = parser.isSet(QStringLiteral("acks-on"));
    options.silent = parser.isSet(QStringLiteral("silent"));
    options.nmea = parser.isSet(QStringLiteral("nmea"));

    HostLine::Faults faults;
    faults.noise = parser.isSet(QStringLiteral("noise"));
    struct Counted
    {
        const char* name;
        int* target;
    };
    for (const Counted& counted :
         {Counted{"baud", &faults.baud}, Counted{"hangup-after", &faults.hangupAfter},
          Counted{"corrupt-nth", &options.corruptNth}, Counted{"wrong-echo", &options.wrongEcho},
          Counted{"ignore-version", &options.ignoreVersion}}) {
        const auto value = Count(parser, QString::fromLatin1(counted.name));
        if (!value)
            return Fail(QStringLiteral("--%1 needs a whole number").arg(counted.name));
        *counted.target = *value;
    }
    if (parser.isSet(QStringLiteral("resend-seconds"))) {
        bool ok = false;
        const double seconds = parser.value(QStringLiteral("resend-seconds")).toDouble(&ok);
        if (!ok || seconds <= 0 || seconds > 3600)
            return Fail(QStringLiteral("--resend-seconds needs a number of seconds"));
        options.resendMs = qMax(1, qRound(seconds * 1000));
    }
    SetTracing(parser.isSet(QStringLiteral("verbose")));

    ReceiverMemory memory;
    QString error;
    if (!options.memoryFile.isEmpty() && !memory.Load(options.memoryFile, &error))
        return Fail(error);

    QFile log(parser.value(QStringLiteral("log")));
    if (parser.isSet(QStringLiteral("log")) && !log.open(QIODevice::Append))
        return Fail(QStringLiteral("cannot open %1: %2").arg(log.fileName(), log.errorString()));

    std::optional<PseudoTerminal> terminal = OpenPseudoTerminal(&error);
    if (!terminal)
        return Fail(error);
    const QString devicePath = terminal->devicePath;

    const QString link = parser.value(QStringLiteral("link"));
    if (!link.isEmpty()) {
        // Only an old link is replaced; a real file by that name is left alone.
        if (QFileInfo(link).isSymLink())
            QFile::remove(link);
        if (!QFile::link(devicePath, link))
            return Fail(QStringLiteral("cannot create the link %1").arg(link));
    }

    HostLine host(*terminal, faults);
    if (log.isOpen()) {
        QObject::connect(&host, &HostLine::LineReceived, &log, [&log](const QString& line) {
            log.write(line.toLatin1() + '\n');
            log.flush();
        });
    }
    Receiver receiver(options, memory, host);
    // Once the device is gone there is nothing left to simulate.
    QObject::connect(&host, &HostLine::HungUp, &app, &QCoreApplication::quit);

    std::optional<QSocketNotifier> stopNotifier;
    if (const int stopFd = TerminationSignalDescriptor(); stopFd >= 0) {
        stopNotifier.emplace(stopFd, QSocketNotifier::Read);
        QObject::connect(&*stopNotifier, &QSocketNotifier::activated, &app,
                         &QCoreApplication::quit);
    }

    std::fprintf(stdout, "%s\n", qPrintable(devicePath));
    std::fflush(stdout);
    Trace(QStringLiteral("# receiver ready on %1").arg(devicePath));

    const int result = app.exec();
    receiver.SaveIfChanged();
    if (!link.isEmpty())
        QFile::remove(link);
    return result;
}
