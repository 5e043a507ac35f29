#include "FilePaths.h"

#include <atomic>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace tarnwick {

std::filesystem::path fsPath(const std::string &utf8)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.data()), utf8.size()));
}

std::string utf8Path(const std::filesystem::path &path)
{
    const auto u8 = path.u8string();
    return std::string(reinterpret_cast<const char *>(u8.data()), u8.size());
}

std::string uniqueSuffix(const std::string &extension)
{
#ifdef _WIN32
    const auto process = static_cast<unsigned long>(_getpid());
#else
    const auto process = static_cast<unsigned long>(::getpid());
#endif
    static std::atomic<unsigned> serial{0};
    return "." + std::to_string(process) + "-" + std::to_string(serial++) + extension;
}

} // namespace tarnwick
