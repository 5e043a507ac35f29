#pragma once

#include <functional>

namespace notes {

// Some steps of the Notes layer run long without returning (indexing a large address book
// reads the whole file). They call BusyHook::tick() every so often; while a hook is alive
// on the calling thread, each tick reaches it, so that a window can repaint meanwhile.
// Hooks nest; the innermost one is called. Worker threads have none.
class BusyHook
{
public:
    explicit BusyHook(std::function<void()> onTick);
    ~BusyHook();
    BusyHook(const BusyHook &) = delete;
    BusyHook &operator=(const BusyHook &) = delete;

    static void tick();

    // Runs work on a helper thread and ticks the hook here until it is done: for one
    // blocking call (flushing a large file to disk, replacing a large file) that would
    // otherwise keep the windows from painting. Without a hook, or when no thread can be
    // had, work runs here. Whatever work throws is thrown here.
    static void whileBusy(const std::function<void()> &work);

private:
    std::function<void()> m_onTick;
    BusyHook *m_outer;
};

} // namespace notes
