#include "FilePaths.h"

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

unsigned long processId()
{
#ifdef _WIN32
    return static_cast<unsigned long>(_getpid());
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

} // namespace tarnwick
