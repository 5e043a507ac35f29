#pragma once

#include "notes/ScanHost.h"

#include <functional>
#include <string>
#include <vector>

// A scan host that keeps what a window would show.
struct RecordingScanHost final : tarnwick::ScanHost
{
    struct Message { std::string text, title; };

    std::string path;
    std::vector<std::string> log;
    std::vector<Message> messages;
    bool proceedEnabled = false;
    std::vector<bool> proceedChanges;
    int yields = 0;
    std::function<bool(int)> onYield; // return false to ask the scan to stop

    std::string notesDatabaseFile() override { return path; }
    void clearLog() override { log.clear(); }
    void appendLogLine(std::string_view line) override { log.emplace_back(line); }
    void setProceedEnabled(bool enabled) override { proceedChanges.push_back(proceedEnabled = enabled); }
    void showMessage(std::string_view text, std::string_view title) override
    {
        messages.push_back({std::string(text), std::string(title)});
    }
    bool processEvents() override { return onYield ? onYield(++yields) : (++yields, true); }
};
