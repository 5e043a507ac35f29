#pragma once

#include "export/ColumnCatalogue.h"
#include "export/ExportHost.h"
#include "notes/ScanHost.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// What a window would show of a scan or an export run, kept for the test to read.
struct RecordingHost final : tarnwick::ScanHost, tarnwick::ExportHost
{
    std::string book, folder;
    std::vector<std::string> log;
    std::vector<std::string> said; // the messages as "title: text"
    std::vector<bool> proceedChanges;
    int yields = 0, folderAsks = 0;
    std::function<bool(int)> onYield; // with the count of yields; false asks the scan to stop
    std::function<void()> onMessage;  // while the message is shown
    std::array<bool, tarnwick::ColumnCatalogue::Size> ticked{};
    bool conversionEnabled = true, linkShown = false;

    void tick(const std::vector<const char *> &headers)
    {
        for (const char *h : headers)
            ticked.at(*tarnwick::ColumnCatalogue::positionOf(h)) = true;
    }

    std::string notesDatabaseFile() override { return book; }
    void setProceedEnabled(bool enabled) override { proceedChanges.push_back(enabled); }
    void showMessage(std::string_view text, std::string_view title) override
    {
        said.push_back(std::string(title) + ": " + std::string(text));
        if (onMessage)
            onMessage();
    }

    void clearLog() override { log.clear(); }
    void appendLogLine(std::string_view line) override { log.emplace_back(line); }
    bool processEvents() override { return onYield ? onYield(++yields) : (++yields, true); }

    std::string browseForFolder(std::string_view) override { return ++folderAsks, folder; }
    int entryCount() override { return static_cast<int>(ticked.size()); }
    bool isTicked(int p) override { return ticked.at(static_cast<std::size_t>(p)); }
    std::string entryText(int p) override
    {
        return std::string(tarnwick::ColumnCatalogue::columns().at(static_cast<std::size_t>(p)).header);
    }
    // The bar is the windows' (FrmConversion clamps it): MainWindowTest checks it.
    void setProgressRange(std::int32_t, std::int32_t) override {}
    void setProgressValue(std::int32_t) override {}
    void setConversionEnabled(bool e) override { conversionEnabled = e; }
    void showOpenLink() override { linkShown = true; }
};
