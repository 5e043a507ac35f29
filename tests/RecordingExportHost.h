#pragma once

#include "export/ColumnCatalogue.h"
#include "export/ExportHost.h"

#include <array>
#include <string>
#include <vector>

// An export host that keeps what the field-choice window would show.
struct RecordingExportHost final : tarnwick::ExportHost
{
    struct Message { std::string text, title; };

    std::string folder;
    std::string book;
    std::array<bool, tarnwick::ColumnCatalogue::Size> ticked{};
    int folderAsks = 0;
    std::int32_t minimum = -1, maximum = -1;
    std::vector<std::int32_t> progress;
    bool conversionEnabled = true, proceedEnabled = true, linkShown = false;
    std::vector<Message> messages;

    void tick(const std::vector<const char *> &headers)
    {
        for (const char *h : headers)
            ticked.at(*tarnwick::ColumnCatalogue::positionOf(h)) = true;
    }

    std::string browseForFolder(std::string_view) override { return ++folderAsks, folder; }
    int entryCount() override { return static_cast<int>(ticked.size()); }
    bool isTicked(int p) override { return ticked.at(static_cast<std::size_t>(p)); }
    std::string entryText(int p) override
    {
        return std::string(tarnwick::ColumnCatalogue::columns().at(static_cast<std::size_t>(p)).header);
    }
    std::string notesDatabaseFile() override { return book; }
    void setProgressRange(std::int32_t lo, std::int32_t hi) override { minimum = lo, maximum = hi; }
    void setProgressValue(std::int32_t v) override { progress.push_back(v); }
    void setConversionEnabled(bool e) override { conversionEnabled = e; }
    void setProceedEnabled(bool e) override { proceedEnabled = e; }
    void showOpenLink() override { linkShown = true; }
    void showMessage(std::string_view text, std::string_view title) override
    {
        messages.push_back({std::string(text), std::string(title)});
    }
};
