#pragma once

#include <filesystem>
#include <string>

namespace tarnwick {

// Paths travel through the program as UTF-8; the file system gets them in its own form,
// so that any name reaches it on Windows too.
std::filesystem::path fsPath(const std::string &utf8);
std::string utf8Path(const std::filesystem::path &path);

// The end of a temporary name beside a target: ".PID-N" and extension, so that no two
// writers, in this program or another, pick the same name.
std::string uniqueSuffix(const std::string &extension);

} // namespace tarnwick
