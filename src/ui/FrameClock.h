#pragma once

#include <chrono>

namespace tarnwick::ui {

// Says when a frame of work has passed since the windows last yielded: they show new log
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
    // True when a frame has passed since the last yield ended (or since restart).
    bool due();
    // The yield that due() allowed has ended: the next frame counts from now, so that the
    // work gets a whole frame between yields however long the windows took to paint. Where
    // painting is slow (Wine, a window dragged across ours) counting from the start of the
    // yield left the work one step a paint.
    void yielded();

private:
    Duration m_interval;
    std::chrono::steady_clock::time_point m_last{};
    bool m_first = true;
};

} // namespace tarnwick::ui
