#include "Desktop.h"

#include "ShellTargets.h"
#include "notes/Messages.h"

namespace tarnwick::ui {

void Desktop::openOrExplain(const std::string &target)
{
    // The message is built from the desktop alone: the window that asked may be gone by
    // the time the platform reports.
    shellOpen(target, [this, target] {
        showMessage(nullptr, CannotOpenMessage(target), std::string(Messages::MakerTitle));
    });
}

} // namespace tarnwick::ui
