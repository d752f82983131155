#pragma once

#include "workspace/Settings.h"

#include <QSettings>
#include <QTemporaryDir>

// A settings file of its own, never the user's; in `folder` when given, so that it outlives a
// restart.
struct SettingsFile
{
    explicit SettingsFile(const QString& folder = QString())
        : qsettings((folder.isEmpty() ? dir.path() : folder) + QStringLiteral("/settings.ini"),
                    QSettings::IniFormat)
    {
    }
    QTemporaryDir dir;
    QSettings qsettings;
    SettingsStore store{qsettings};
};
