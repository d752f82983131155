#include "workspace/Commands.h"

#include <cstddef>

namespace {

bool For(const std::array<bool, 3>& work, ListKind list)
{
    return work[std::size_t(int(list) - 1)];
}

} // namespace

bool IsEnabled(Command command, ListKind list, const CommandContext& context)
{
    const CommandWork& work = context.work;
    switch (command) {
    case Command::Exit:
    case Command::Monitor:
    case Command::About:
        return true;
    default:
        break;
    }
    if (context.busy)
        return false;
    switch (command) {
    case Command::Load:
    case Command::Save:
    case Command::Connect:
        return true;
    case Command::Setup:
        return work.setup;
    case Command::ReceiverMenus:
        return context.connected;
    case Command::Insert:
    case Command::Edit:
        return For(work.editor, list);
    case Command::Delete:
        return For(work.deleteRows, list);
    case Command::Download:
        return context.connected && For(work.download, list);
    case Command::Upload:
        return context.connected && For(work.upload, list);
    case Command::DeleteAllInReceiver:
        return context.connected && For(work.deleteAllInReceiver, list);
    case Command::Exit:
    case Command::Monitor:
    case Command::About:
        break;
    }
    return true;
}
