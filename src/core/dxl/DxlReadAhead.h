#pragma once

#include "DxlFragmentReader.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace notes::dxl {

// Parses the documents of a view ahead of a reader that walks it in order, on the other
// cores. A walk over a book is two parses of the file (one to index and sort, one to read);
// this lets the second run beside the caller instead of in front of it. A bounded window
// of parsed documents waits for the walker, bounded by count and by bytes, so memory does
// not grow with the book nor with the size of its documents.
class DxlReadAhead
{
public:
    // Starts a thread running the given work, or throws std::system_error when none can
    // be had. Replaceable so that tests can refuse the n-th thread.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    static void setThreadStarter(ThreadStarter starter);
    // Every helper thread of the reader, the index pass's included, is started here.
    static std::thread startThread(std::function<void()> work);
    // The cores this process may run on: fewer than the machine has when it is confined
    // to some (taskset, a job object), and then helpers would only take turns with it.
    static unsigned usableCores();

    // Where the document at a view position lies.
    using RangeAt = std::function<DxlByteRange(std::size_t position)>;

    // Null when not one thread could be started: reading ahead is only a speed-up, and
    // the caller reads on the spot instead. Fewer threads than asked for is no failure.
    // The walk begins at position first: the documents before it were read already.
    static std::unique_ptr<DxlReadAhead> start(const std::string &path, const std::string &encoding,
                                               const std::vector<DxlByteRange> &ranges, unsigned workers);
    static std::unique_ptr<DxlReadAhead> start(const std::string &path, const std::string &encoding,
                                               std::size_t count, RangeAt rangeAt, unsigned workers,
                                               std::size_t first = 0);

    // Documents parsed ahead of the walker hold at most about this many bytes of the file
    // (one document more when it alone is larger).
    static constexpr std::uint64_t MaxBytesAhead = 8u << 20;

    ~DxlReadAhead();
    DxlReadAhead(const DxlReadAhead &) = delete;
    DxlReadAhead &operator=(const DxlReadAhead &) = delete;

    // The position every walk takes next: first, then one more each time.
    std::size_t next() const { return m_consumed; }
    // The document at next(); throws NotesError as reading it on the spot would.
    DxlNote take();
    // The most bytes of the file that were parsed or being parsed ahead at once.
    std::uint64_t peakBytesAhead();

private:
    DxlReadAhead(std::size_t count, RangeAt rangeAt, std::size_t first);

    enum class State { Empty, Ready, Failed };
    struct Slot
    {
        State state = State::Empty;
        DxlNote note;
        std::string error;
    };

    bool mayClaim() const;
    bool batchReady() const;
    void work(DxlFragmentReader &reader);

    struct Ranges
    {
        std::size_t count;
        RangeAt at;
        std::size_t size() const { return count; }
        DxlByteRange operator[](std::size_t position) const { return at(position); }
    };
    const Ranges m_ranges;
    std::vector<Slot> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed; // for the workers: room to read ahead, or the end
    std::condition_variable m_ready;   // for the walker: its next document is there
    unsigned m_idleWorkers = 0;
    bool m_walkerWaiting = false;
    std::size_t m_claimed = 0;  // next position a worker takes
    std::size_t m_consumed = 0; // next position the walker takes
    std::uint64_t m_bytesAhead = 0; // of the positions claimed and not yet taken
    std::uint64_t m_peakBytesAhead = 0;
    bool m_stopping = false;
    std::vector<std::unique_ptr<DxlFragmentReader>> m_readers;
    std::vector<std::thread> m_workers;
};

} // namespace notes::dxl
