#pragma once

#include <QIcon>

// The pictures of the main toolbar, one per button; the connect button has
// two, one for each state of the link.
enum class ToolbarPicture
{
    Load,
    Save,
    Connected,
    Disconnected,
    Setup,
    New,
    Detail,
    Delete,
    Send,
    Get
};

QIcon ToolbarIcon(ToolbarPicture picture);
