#include "BusyHook.h"

namespace notes {

namespace {
thread_local BusyHook *t_current = nullptr;
}

BusyHook::BusyHook(std::function<void()> onTick)
    : m_onTick(std::move(onTick))
    , m_outer(t_current)
{
    t_current = this;
}

BusyHook::~BusyHook()
{
    t_current = m_outer;
}

void BusyHook::tick()
{
    if (t_current && t_current->m_onTick)
        t_current->m_onTick();
}

} // namespace notes
