#pragma once

#include "model/ListKind.h"

#include <array>

// The commands of the main window's menus and toolbar, as far as whether
// they can start goes. Commands on a list (New, Detail, Delete and the
// transfers) name the list they act on: the toolbar's the current one, a
// menu item its own.
enum class Command
{
    Load,
    Save,
    Exit,
    Monitor,
    Setup,
    About,
    Connect,
    ReceiverMenus, // the sub-menus Download from GPS, Upload to GPS and Delete from GPS
    Insert,
    Edit,
    Delete,
    Download,
    Upload,
    DeleteAllInReceiver
};

// Which commands have their work in the program, by list where they act on
// one. A command without its work stays disabled whatever the state.
struct CommandWork
{
    bool setup = false;
    std::array<bool, 3> editor{}; // New and Detail
    std::array<bool, 3> deleteRows{};
    std::array<bool, 3> download{};
    std::array<bool, 3> upload{};
    std::array<bool, 3> deleteAllInReceiver{};
};

struct CommandContext
{
    bool connected = false;
    bool busy = false; // an exchange with the receiver is running
    CommandWork work;
};

// Whether `command` on `list` can start now. While an exchange runs only
// Exit, the monitor and About can; the receiver's commands need the
// connection. Selection and empty lists never matter: Save, Detail and
// Delete have their own answer to those.
bool IsEnabled(Command command, ListKind list, const CommandContext& context);
