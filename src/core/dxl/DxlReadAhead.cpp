#include "DxlReadAhead.h"

#include "notes/NotesError.h"

#include <algorithm>
#include <bit>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#elif defined(__linux__)
#include <sched.h>
#endif

namespace notes::dxl {

namespace {

// Enough to keep the workers busy while the walker writes, small enough not to matter.
constexpr std::size_t Window = 256;
// Every wake-up is a system call and a switch of threads, as costly as a small document's
// parse: a waiting walker is woken for a run of this many documents, not for each one, and
// idle workers once half the window is free again.
constexpr std::size_t Batch = 16;

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

std::thread DxlReadAhead::startThread(std::function<void()> work)
{
    return threadStarter()(std::move(work));
}

unsigned DxlReadAhead::usableCores()
{
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0)
        return static_cast<unsigned>(std::popcount(static_cast<std::uint64_t>(process)));
#elif defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

DxlReadAhead::DxlReadAhead(std::size_t count, RangeAt rangeAt, std::size_t first)
    : m_ranges{count, std::move(rangeAt)}
    , m_slots(Window)
    , m_claimed(first)
    , m_consumed(first)
{
}

std::unique_ptr<DxlReadAhead> DxlReadAhead::start(const std::string &path, const std::string &encoding,
                                                  const std::vector<DxlByteRange> &ranges, unsigned workers)
{
    return start(path, encoding, ranges.size(), [&ranges](std::size_t i) { return ranges[i]; }, workers);
}

std::unique_ptr<DxlReadAhead> DxlReadAhead::start(const std::string &path, const std::string &encoding,
                                                  std::size_t count, RangeAt rangeAt, unsigned workers,
                                                  std::size_t first)
{
    std::unique_ptr<DxlReadAhead> ahead(new DxlReadAhead(count, std::move(rangeAt), first));
    // Opened here, so that a file that cannot be opened fails the caller, not a thread.
    for (unsigned i = 0; i < workers; ++i)
        ahead->m_readers.push_back(std::make_unique<DxlFragmentReader>(path, encoding));
    for (auto &reader : ahead->m_readers) {
        try {
            ahead->m_workers.push_back(startThread([self = ahead.get(), r = reader.get()] { self->work(*r); }));
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
        ++m_idleWorkers;
        m_changed.wait(lock, [this] { return m_stopping || mayClaim(); });
        --m_idleWorkers;
        if (m_stopping)
            return;
        const std::size_t position = m_claimed++;
        const DxlByteRange range = m_ranges[position];
        m_bytesAhead += range.length;
        m_peakBytesAhead = std::max(m_peakBytesAhead, m_bytesAhead);
        lock.unlock();
        Slot result;
        try {
            result.note = reader.read(range);
            result.state = State::Ready;
        } catch (const std::exception &error) {
            result.error = error.what();
            result.state = State::Failed;
        }
        lock.lock();
        m_slots[position % Window] = std::move(result);
        if (m_walkerWaiting && batchReady())
            m_ready.notify_one();
    }
}

// The walker's next document is there, and so are those after it up to a batch, or up to
// the last one claimed: what is not claimed may wait for the walker to make room.
bool DxlReadAhead::batchReady() const
{
    if (m_slots[m_consumed % Window].state == State::Empty)
        return false;
    const std::size_t end = std::min(m_consumed + Batch, m_claimed);
    for (std::size_t position = m_consumed + 1; position < end; ++position) {
        if (m_slots[position % Window].state == State::Empty)
            return false;
    }
    return true;
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
    if (slot.state == State::Empty) {
        m_walkerWaiting = true;
        m_ready.wait(lock, [this] { return batchReady(); });
        m_walkerWaiting = false;
    }
    Slot result = std::move(slot);
    slot.state = State::Empty;
    m_bytesAhead -= m_ranges[m_consumed].length;
    ++m_consumed;
    // Workers wait while the window is full by count or by bytes; they go on once half of
    // it is free, or at once when the walker has taken all there was.
    const bool wake = m_idleWorkers > 0 && m_claimed - m_consumed <= Window / 2 && m_bytesAhead <= MaxBytesAhead / 2;
    lock.unlock();
    if (wake)
        m_changed.notify_all();
    if (result.state == State::Failed)
        throw NotesError(result.error);
    return std::move(result.note);
}

} // namespace notes::dxl
