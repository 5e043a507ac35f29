#pragma once

#include <chrono>

namespace tarnwick::ui {

// Says when a frame has passed since the last time it said so: the windows show new log
// lines, repaint and yield at most once a frame, however often the work asks.
class FrameClock
{
public:
    using Duration = std::chrono::steady_clock::duration;

    explicit FrameClock(Duration interval = std::chrono::milliseconds(16));

    void setInterval(Duration interval) { m_interval = interval; }
    Duration interval() const { return m_interval; }
    // Starts over; the next due() is true at once.
    void restart();
    // True when a frame has passed since the last true (or since restart); counts from now.
    bool due();

private:
    Duration m_interval;
    std::chrono::steady_clock::time_point m_last{};
    bool m_first = true;
};

} // namespace tarnwick::ui
