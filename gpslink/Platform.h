#pragma once

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <optional>

// The few operating-system services Qt does not offer: a pseudo-terminal for
// the simulated receiver, the line error counters of a serial driver, a
// descriptor that wakes an event loop when the process is asked to stop, and
// the process figures and limits that benchmarks and tests use.
// Where the system has none of them the functions report "not supported".

struct PseudoTerminal
{
    int masterFd = -1;
    QString devicePath;
    // The device side stays open in the simulator as well, so the master never
    // reads a hang-up while the host has the device closed between sessions.
    int slaveFd = -1;
};

// A new pseudo-terminal whose device side passes bytes unchanged (no echo, no
// line editing, no CR/LF translation). The master is non-blocking.
std::optional<PseudoTerminal> OpenPseudoTerminal(QString* error);
void ClosePseudoTerminal(PseudoTerminal& terminal);

// Non-blocking transfers on the master: the number of bytes moved, 0 when
// nothing can move now, -1 when the terminal has hung up or failed.
qint64 ReadPseudoTerminal(const PseudoTerminal& terminal, char* data, qint64 size);
qint64 WritePseudoTerminal(const PseudoTerminal& terminal, const char* data, qint64 size);

// Bytes the master has written that the host has not read yet.
qint64 UnreadByHost(const PseudoTerminal& terminal);

// The error counters a serial driver keeps for an open port.
struct LineErrorCounts
{
    quint64 breaks = 0, framing = 0, overrun = 0, parity = 0, bufferOverrun = 0;
};
// std::nullopt when the driver keeps no counters (a pseudo-terminal does not).
std::optional<LineErrorCounts> ReadLineErrorCounts(qintptr handle);

// A descriptor that becomes readable once SIGTERM or SIGINT has arrived, for a
// socket notifier; -1 where this is not supported. Installs the handlers on
// the first call.
int TerminationSignalDescriptor();
// The number of one termination signal that has arrived and not been taken
// yet, 0 when there is none; taking it lets the descriptor rest again.
int TakeTerminationSignal();
// From now on the second termination signal ends the process at once, in
// the signal handler itself, with the status 128 + its number: the first asks
// politely, the second is not kept waiting.
void EndOnSecondTerminationSignal();
// The open descriptor is a terminal, where a person can answer.
bool IsTerminal(int fd);

// Processor time (user and system) this process has used so far.
std::optional<std::chrono::microseconds> ProcessCpuTime();
// The most memory this process has held resident, in kilobytes.
std::optional<qint64> PeakResidentKilobytes();
// The same two figures for the child processes this process has waited for:
// their processor time together, the largest one's peak memory.
struct ChildUsage
{
    std::chrono::microseconds cpu{0};
    qint64 peakKilobytes = 0;
};
std::optional<ChildUsage> ChildProcessesUsage();
// Caps the size of any file this process writes, as a full disk would;
// std::nullopt lifts the cap. False where this is not supported.
bool LimitFileSize(std::optional<qint64> bytes);
// Sends the process's standard error to the open file `fd` until
// RestoreStandardError is given the returned value; -1 where not supported.
int RedirectStandardError(int fd);
void RestoreStandardError(int saved);
