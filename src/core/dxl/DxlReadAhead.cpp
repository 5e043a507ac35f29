#include "DxlReadAhead.h"

#include "notes/NotesError.h"

#include <algorithm>
#include <system_error>

namespace notes::dxl {

namespace {

// Enough to keep the workers busy while the walker writes, small enough not to matter.
constexpr std::size_t Window = 256;

DxlReadAhead::ThreadStarter &threadStarter()
{
    static DxlReadAhead::ThreadStarter starter = [](std::function<void()> work) {
        return std::thread(std::move(work));
    };
    return starter;
}

} // namespace

void DxlReadAhead::setThreadStarter(ThreadStarter starter)
{
    threadStarter() = starter ? std::move(starter) : [](std::function<void()> work) {
        return std::thread(std::move(work));
    };
}

DxlReadAhead::DxlReadAhead(const std::vector<DxlByteRange> &ranges)
    : m_ranges(ranges)
    , m_slots(Window)
{
}

std::unique_ptr<DxlReadAhead> DxlReadAhead::start(const std::string &path, const std::string &encoding,
                                                  const std::vector<DxlByteRange> &ranges, unsigned workers)
{
    std::unique_ptr<DxlReadAhead> ahead(new DxlReadAhead(ranges));
    // Opened here, so that a file that cannot be opened fails the caller, not a thread.
    for (unsigned i = 0; i < workers; ++i)
        ahead->m_readers.push_back(std::make_unique<DxlFragmentReader>(path, encoding));
    for (auto &reader : ahead->m_readers) {
        try {
            ahead->m_workers.push_back(threadStarter()([self = ahead.get(), r = reader.get()] { self->work(*r); }));
        } catch (const std::system_error &) {
            break; // the system is short of threads: go on with those there are
        }
    }
    if (ahead->m_workers.empty())
        return nullptr;
    return ahead;
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

bool DxlReadAhead::mayClaim() const
{
    if (m_claimed >= m_ranges.size() || m_claimed >= m_consumed + Window)
        return false;
    // The walker's own next document is always worked on, however large.
    return m_claimed == m_consumed || m_bytesAhead + m_ranges[m_claimed].length <= MaxBytesAhead;
}

void DxlReadAhead::work(DxlFragmentReader &reader)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || mayClaim(); });
        if (m_stopping)
            return;
        const std::size_t position = m_claimed++;
        m_bytesAhead += m_ranges[position].length;
        m_peakBytesAhead = std::max(m_peakBytesAhead, m_bytesAhead);
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

std::uint64_t DxlReadAhead::peakBytesAhead()
{
    std::lock_guard lock(m_mutex);
    return m_peakBytesAhead;
}

DxlNote DxlReadAhead::take()
{
    std::unique_lock lock(m_mutex);
    auto &slot = m_slots[m_consumed % Window];
    m_changed.wait(lock, [&slot] { return slot.state != State::Empty; });
    Slot result = std::move(slot);
    slot.state = State::Empty;
    m_bytesAhead -= m_ranges[m_consumed].length;
    ++m_consumed;
    lock.unlock();
    m_changed.notify_all();
    if (result.state == State::Failed)
        throw NotesError(result.error);
    return std::move(result.note);
}

} // namespace notes::dxl
