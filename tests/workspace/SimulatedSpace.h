#pragma once

#include "gpslink/QtSerialStream.h"
#include "tests/gpslink/Simulator.h"
#include "tests/support/ListTexts.h"
#include "tests/support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <QStringList>
#include <chrono>

// A workspace on the real port class, talking to navora-gpssim with a scripted user.
struct SimulatedSpace
{
    SimulatedSpace(const QStringList& arguments, const QString& memory,
                   std::chrono::milliseconds timeout)
        : sim(arguments, memory)
    {
        port.SetPort(sim.Device());
        space.Link().SetTimeout(timeout);
    }
    // Opens the port as a connection would, without the handshake: the
    // simulator must start with acknowledgements on.
    bool OpenWithoutHandshake()
    {
        if (port.Open())
            return false;
        space.Link().SetConnected(true);
        return true;
    }

    Simulator sim;
    QtSerialStream port;
    ScriptedInteraction ui;
    Workspace space{port, ui};
};

// The simulator's memory file as lines.
inline QStringList MemoryLines(const Simulator& sim)
{
    return sim.Memory().split(u'\n', Qt::SkipEmptyParts);
}

// "down", "up" or "delete all" on the list of `kind`.
inline ExchangeOutcome Run(Workspace& space, const QString& operation, ListKind kind)
{
    if (operation == u"down")
        return space.Download(kind);
    if (operation == u"up")
        return space.Upload(kind);
    return space.DeleteAllInReceiver(kind);
}
