#pragma once

#include <filesystem>
#include <string>

namespace tarnwick {

// Paths travel through the program as UTF-8; the file system gets them in its own form,
// so that any name reaches it on Windows too.
std::filesystem::path fsPath(const std::string &utf8);
std::string utf8Path(const std::filesystem::path &path);

// Part of the temporary names beside a target, so that two programs writing into one
// folder never pick the same name.
unsigned long processId();

} // namespace tarnwick
