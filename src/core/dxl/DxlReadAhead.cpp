#include "DxlReadAhead.h"

#include "notes/NotesError.h"

#include <functional>

namespace notes::dxl {

namespace {

// Enough to keep the workers busy while the walker writes, small enough not to matter.
constexpr std::size_t Window = 256;

} // namespace

DxlReadAhead::DxlReadAhead(const std::string &path, const std::string &encoding,
                           const std::vector<DxlByteRange> &ranges, unsigned workers)
    : m_ranges(ranges)
    , m_slots(Window)
{
    // Opened here, so that a file that cannot be opened fails the caller, not a thread.
    for (unsigned i = 0; i < workers; ++i)
        m_readers.push_back(std::make_unique<DxlFragmentReader>(path, encoding));
    for (auto &reader : m_readers)
        m_workers.emplace_back(&DxlReadAhead::work, this, std::ref(*reader));
}

DxlReadAhead::~DxlReadAhead()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (auto &worker : m_workers)
        worker.join();
}

void DxlReadAhead::work(DxlFragmentReader &reader)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] {
            return m_stopping || (m_claimed < m_ranges.size() && m_claimed < m_consumed + Window);
        });
        if (m_stopping)
            return;
        const std::size_t position = m_claimed++;
        lock.unlock();
        Slot result;
        try {
            result.note = reader.read(m_ranges[position]);
            result.state = State::Ready;
        } catch (const std::exception &error) {
            result.error = error.what();
            result.state = State::Failed;
        }
        lock.lock();
        m_slots[position % Window] = std::move(result);
        m_changed.notify_all();
    }
}

DxlNote DxlReadAhead::take()
{
    std::unique_lock lock(m_mutex);
    auto &slot = m_slots[m_consumed % Window];
    m_changed.wait(lock, [&slot] { return slot.state != State::Empty; });
    Slot result = std::move(slot);
    slot.state = State::Empty;
    ++m_consumed;
    lock.unlock();
    m_changed.notify_all();
    if (result.state == State::Failed)
        throw NotesError(result.error);
    return std::move(result.note);
}

} // namespace notes::dxl
