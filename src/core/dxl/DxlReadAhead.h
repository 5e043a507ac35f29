#pragma once

#include "DxlFragmentReader.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace notes::dxl {

// Parses the documents of a view ahead of a reader that walks it in order, on the other
// cores. A walk over a book is two parses of the file (one to index and sort, one to read);
// this lets the second run beside the caller instead of in front of it. A bounded window
// of parsed documents waits for the walker, so memory does not grow with the book.
class DxlReadAhead
{
public:
    DxlReadAhead(const std::string &path, const std::string &encoding, const std::vector<DxlByteRange> &ranges,
                 unsigned workers);
    ~DxlReadAhead();
    DxlReadAhead(const DxlReadAhead &) = delete;
    DxlReadAhead &operator=(const DxlReadAhead &) = delete;

    // The position every walk takes next: 0, then one more each time.
    std::size_t next() const { return m_consumed; }
    // The document at next(); throws NotesError as reading it on the spot would.
    DxlNote take();

private:
    enum class State { Empty, Ready, Failed };
    struct Slot
    {
        State state = State::Empty;
        DxlNote note;
        std::string error;
    };

    void work(DxlFragmentReader &reader);

    const std::vector<DxlByteRange> &m_ranges;
    std::vector<Slot> m_slots;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_claimed = 0;  // next position a worker takes
    std::size_t m_consumed = 0; // next position the walker takes
    bool m_stopping = false;
    std::vector<std::unique_ptr<DxlFragmentReader>> m_readers;
    std::vector<std::thread> m_workers;
};

} // namespace notes::dxl
