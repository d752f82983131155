#include "gpslink/Platform.h"

std::optional<PseudoTerminal> OpenPseudoTerminal(QString* error)
{
    if (error)
        *error = QStringLiteral("Pseudo-terminals are not supported on this system");
    return std::nullopt;
}

void ClosePseudoTerminal(PseudoTerminal& terminal)
{
    terminal = PseudoTerminal();
}

qint64 ReadPseudoTerminal(const PseudoTerminal&, char*, qint64)
{
    return -1;
}

qint64 WritePseudoTerminal(const PseudoTerminal&, const char*, qint64)
{
    return -1;
}

qint64 UnreadByHost(const PseudoTerminal&)
{
    return 0;
}

std::optional<LineErrorCounts> ReadLineErrorCounts(qintptr)
{
    return std::nullopt;
}

int TerminationSignalDescriptor()
{
    return -1;
}

int TakeTerminationSignal()
{
    return 0;
}

void EndOnSecondTerminationSignal() {}

bool IsTerminal(int)
{
    return false;
}

std::optional<std::chrono::microseconds> ProcessCpuTime()
{
    return std::nullopt;
}

std::optional<qint64> PeakResidentKilobytes()
{
    return std::nullopt;
}

std::optional<ChildUsage> ChildProcessesUsage()
{
    return std::nullopt;
}

bool LimitFileSize(std::optional<qint64>)
{
    return false;
}

int RedirectStandardError(int)
{
    return -1;
}

void RestoreStandardError(int) {}
