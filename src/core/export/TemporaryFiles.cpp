#include "TemporaryFiles.h"

#include <array>
#include <atomic>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tarnwick::TemporaryFiles {

namespace {

using Char = std::filesystem::path::value_type;

enum SlotState : int { Free, Filling, Armed };

// Fixed storage only: a signal handler may read it at any moment.
struct Slot
{
    std::atomic<int> state{Free};
    std::array<Char, 4096> path{};
};

std::array<Slot, 16> slots;
std::atomic<bool> unnamedAllowed{true};

} // namespace

int add(const std::filesystem::path &path) noexcept
{
    const auto &native = path.native();
    if (native.size() >= Slot{}.path.size())
        return -1;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int expected = Free;
        if (!slots[i].state.compare_exchange_strong(expected, Filling))
            continue;
        std::memcpy(slots[i].path.data(), native.c_str(), (native.size() + 1) * sizeof(Char));
        slots[i].state.store(Armed);
        return static_cast<int>(i);
    }
    return -1;
}

void forget(int slot) noexcept
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < slots.size())
        slots[static_cast<std::size_t>(slot)].state.store(Free);
}

void removeAll() noexcept
{
    for (auto &slot : slots) {
        if (slot.state.load() != Armed)
            continue;
#ifdef _WIN32
        DeleteFileW(slot.path.data());
#else
        ::unlink(slot.path.data());
#endif
    }
}

void setUnnamedFilesAllowed(bool allowed) noexcept
{
    unnamedAllowed.store(allowed);
}

bool unnamedFilesAllowed() noexcept
{
    return unnamedAllowed.load();
}

} // namespace tarnwick::TemporaryFiles
