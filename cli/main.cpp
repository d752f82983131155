#include "cli/Arguments.h"
#include "cli/Interrupts.h"
#include "cli/ListFiles.h"
#include "cli/MessageStream.h"
#include "cli/PositionCommands.h"
#include "cli/ReceiverCommands.h"
#include "cli/Session.h"
#include "gpslink/Platform.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void Print(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("navora-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NAVORA_VERSION));

    const ParsedArguments parsed = ParseArguments(app.arguments().mid(1));
    if (!parsed.invocation) {
        Print(stderr, QStringLiteral("navora-cli: ") + parsed.error + u'\n' + UsageText());
        return ExitStatus::kUsage;
    }
    const Invocation& in = *parsed.invocation;
    if (in.help) {
        Print(stdout, HelpText());
        return ExitStatus::kSuccess;
    }
    if (in.version) {
        Print(stdout, QStringLiteral("navora-cli %1\n").arg(QStringLiteral(NAVORA_VERSION)));
        return ExitStatus::kSuccess;
    }
    if (in.command == CommandName::Ports)
        return RunPorts();

    MessageStream out(IsTerminal(2));
    Interrupts interrupts;
    if (in.command == CommandName::Info || in.command == CommandName::Download ||
        in.command == CommandName::Upload || in.command == CommandName::Delete)
        interrupts.Listen();
    Session session(in, out, interrupts);
    switch (in.command) {
    case CommandName::Ports:
        break;
    case CommandName::Info:
        return RunInfo(session);
    case CommandName::Download:
        return RunDownload(session);
    case CommandName::Upload:
        return RunUpload(session);
    case CommandName::Delete:
        return RunDelete(session);
    case CommandName::Show:
        return RunShow(session);
    case CommandName::GridRef:
        return RunGridRef(in, session.Ui());
    case CommandName::LatLon:
        return RunLatLon(in, session.Ui());
    }
    return ExitStatus::kSuccess;
}
