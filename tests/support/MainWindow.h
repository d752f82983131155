#pragma once

#include "app/frmNavora.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/SettingsFile.h"

#include <QAction>

// The main window offscreen with a scripted user, a settings file of its own and `Port` behind
// the link.
template <typename Port> struct MainWindow : SettingsFile
{
    using SettingsFile::SettingsFile;
    QAction* Item(const QString& name) { return window.findChild<QAction*>(name); }
    Port port;
    ScriptedInteraction ui;
    frmNavora window{store, port, &ui};
};
