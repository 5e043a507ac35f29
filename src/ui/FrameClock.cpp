#include "FrameClock.h"

namespace tarnwick::ui {

FrameClock::FrameClock(Duration interval)
    : m_interval(interval)
{
}

void FrameClock::restart()
{
    m_first = true;
}

bool FrameClock::due()
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_first && now - m_last < m_interval)
        return false;
    m_first = false;
    m_last = now;
    return true;
}

void FrameClock::yielded()
{
    m_last = std::chrono::steady_clock::now();
}

} // namespace tarnwick::ui
