#pragma once

#include "cli/Arguments.h"
#include "cli/Interrupts.h"
#include "cli/MessageStream.h"
#include "cli/ProtocolTrace.h"
#include "cli/TerminalInteraction.h"
#include "gpslink/QtSerialStream.h"
#include "workspace/Workspace.h"

// One run of navora-cli over the core: the real serial port, the terminal as
// the user interaction, the workspace with its link, the traffic trace and
// Ctrl+C, which cancels whatever exchange runs.
class Session
{
public:
    Session(const Invocation& invocation, MessageStream& out, Interrupts& interrupts);

    // Takes Navora's settings without writing them (the port ones only when
    // the command uses the port), then what the options say instead, and
    // starts the trace. 0 when ready, else the exit status.
    int Prepare(bool usesPort);

    ExchangeOutcome Connect();
    // Leaves the receiver when the port is still open.
    void Disconnect();
    // Ctrl+C has arrived; pending events are taken first.
    bool Interrupted();

    // The exit status for a command that ended so.
    int StatusOf(ExchangeOutcome outcome) const;
    int StatusOf(FileStatus status) const;
    // The worse of two statuses: an interruption first, then the first failure.
    int Worse(int status, int other) const;

    Workspace& Space() { return space_; }
    TerminalInteraction& Ui() { return ui_; }
    MessageStream& Out() { return out_; }
    const Invocation& Options() const { return invocation_; }

private:
    const Invocation& invocation_;
    MessageStream& out_;
    Interrupts& interrupts_;
    QtSerialStream port_;
    TerminalInteraction ui_;
    Workspace space_;
    ProtocolTrace trace_;
};

// Exit statuses; an interruption exits with 128 + the signal's number.
namespace ExitStatus {
inline constexpr int kSuccess = 0;
inline constexpr int kFailed = 1;   // the receiver or the link failed, or a read-back differed
inline constexpr int kUsage = 2;    // wrong usage, or a position the grid does not cover
inline constexpr int kFile = 3;     // a file could not be read or written, or is of another kind
inline constexpr int kDeclined = 4; // declined at a question; nothing was sent
} // namespace ExitStatus
