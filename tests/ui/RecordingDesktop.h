#pragma once

#include "ui/Desktop.h"
#include "ui/FrmConversion.h"
#include "ui/FrmConversionFace.h"
#include "ui/FrmMainFace.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using tarnwick::ui::WindowFace;

// Takes the memory that the strings of a command just freed: a reference that outlived
// them now reads something else.
inline void scribble()
{
    static std::vector<std::string> junk;
    junk.clear();
    for (std::size_t n = 1; n < 256; ++n)
        junk.emplace_back(n, '#');
}

// The main window's widgets as a test sees them: the path box, the log as shown, each
// change of "Proceed", and each caption.
struct RecordingMainFace final : tarnwick::ui::FrmMainFace
{
    std::string path, log;
    std::vector<bool> proceed{false};
    std::vector<std::string> captions{"Tarnwick"};
    int closes = 0, appends = 0;
    bool splitChecked = false;
    std::chrono::milliseconds appendTakes{0}; // a text box that is slow to take lines
    std::function<void()> onClose;            // what the window system does when asked to close
    std::function<void()> onPathChange;       // the box tells of every change of its text

    bool proceedEnabled() const { return proceed.back(); }
    std::string notesDatabaseFile() override { return path; }
    void setNotesDatabaseFile(const std::string &p) override
    {
        path = p;
        if (onPathChange)
            onPathChange();
    }
    void clearLog() override { log.clear(); }
    void appendLog(const std::string &text) override
    {
        ++appends;
        std::this_thread::sleep_for(appendTakes);
        log += text;
    }
    // The vCard item follows Proceed through setExportsEnabled; the Qt face shows it.
    void setProceedEnabled(bool enabled) override { proceed.push_back(enabled); }
    void setExportVCardEnabled(bool) override {}
    void setSplitForGoogleChecked(bool checked) override { splitChecked = checked; }
    void setCaption(const std::string &c) override { captions.push_back(c); }
    void closeWindow() override
    {
        ++closes;
        if (onClose)
            onClose();
    }
};

struct RecordingConversionFace final : tarnwick::ui::FrmConversionFace
{
    std::vector<std::string> entries;
    std::vector<bool> ticks;
    bool selectAll = false, conversionEnabled = true, linkShown = false;
    std::int32_t minimum = -1, maximum = -1;
    std::vector<std::int32_t> values;

    void setEntries(const std::vector<std::string> &texts) override
    {
        entries = texts;
        ticks.assign(texts.size(), false);
    }
    int entryCount() override { return static_cast<int>(entries.size()); }
    std::string entryText(int p) override { return entries.at(static_cast<std::size_t>(p)); }
    bool isTicked(int p) override { return ticks.at(static_cast<std::size_t>(p)); }
    void setTicked(int p, bool t) override { ticks.at(static_cast<std::size_t>(p)) = t; }
    bool selectAllTicked() override { return selectAll; }
    void setProgressRange(std::int32_t lo, std::int32_t hi) override { minimum = lo, maximum = hi; }
    void setProgressValue(std::int32_t v) override { values.push_back(v); }
    void setConversionEnabled(bool e) override { conversionEnabled = e; }
    void showOpenLink() override { linkShown = true; }
};

// A desktop that answers every dialog from a script and keeps what the windows asked for.
// A shell or help call that opens nothing is reported as a real desktop reports it: later,
// once the command has returned, at the next turn of the event loop or reportFailures().
struct RecordingDesktop final : tarnwick::ui::Desktop
{
    struct Message
    {
        std::string text, title;
        WindowFace *owner;
        std::string logShown, captionShown; // the main window's log, caption and Proceed then
        bool proceedShown;
    };

    std::deque<std::string> openFileAnswers, folderAnswers;           // none left: a cancel
    std::vector<std::pair<std::string, std::string>> openFileDialogs; // start name, filter
    std::vector<std::string> folderTitles;
    std::function<void()> whileChoosingFolder; // the user acting while the picker is open
    std::vector<Message> messages;
    const RecordingMainFace *main = nullptr;
    std::vector<std::string> opened; // shell targets, help paths after "help:"
    bool nothingOpens = false;
    std::vector<Failure> unreported;
    std::string helpPath = "/opt/tarnwick/Help.html";
    int yields = 0, repaints = 0, abouts = 0, exits = 0;
    std::function<void(int)> onYield; // with the count of yields so far
    std::chrono::milliseconds repaintTakes{0}; // windows slow to paint
    // Runs while the field-choice window is open, as the user would act in it.
    std::function<void(tarnwick::ui::FrmConversion &, RecordingConversionFace &)> inConversion;
    // Where set, open a toolkit's real windows in place of the recording face.
    std::function<void(WindowFace &, tarnwick::ui::FrmConversion &)> openConversion;
    std::function<void(WindowFace &)> openAbout;

    // The messages as "title: text".
    std::vector<std::string> said() const
    {
        std::vector<std::string> out;
        for (const auto &m : messages)
            out.push_back(m.title + ": " + m.text);
        return out;
    }

    std::string getOpenFileName(WindowFace &, const std::string &name, const std::string &filter) override
    {
        openFileDialogs.emplace_back(name, filter);
        return take(openFileAnswers);
    }
    void showMessage(WindowFace *owner, const std::string &text, const std::string &title) override
    {
        messages.push_back({text, title, owner, main ? main->log : "", main ? main->captions.back() : "",
                            main && main->proceedEnabled()});
    }
    void shellOpen(const std::string &target, Failure onFailure) override { open(target, std::move(onFailure)); }
    std::string browseForFolder(const std::string &title) override
    {
        folderTitles.push_back(title);
        if (whileChoosingFolder)
            whileChoosingFolder();
        return take(folderAnswers);
    }
    std::string helpDocumentPath() override { return helpPath; }
    void openHelp(WindowFace &, const std::string &path, Failure onFailure) override
    {
        open("help:" + path, std::move(onFailure));
    }
    void processEvents() override
    {
        reportFailures();
        ++yields;
        if (onYield)
            onYield(yields);
    }
    void reportFailures()
    {
        for (auto due = std::exchange(unreported, {}); auto &failure : due)
            failure();
    }
    void repaintWindows() override
    {
        ++repaints;
        std::this_thread::sleep_for(repaintTakes);
    }
    void runAboutBox(WindowFace &owner) override
    {
        ++abouts;
        if (openAbout)
            openAbout(owner);
    }
    void runConversionWindow(WindowFace &owner, tarnwick::ui::FrmConversion &window) override
    {
        if (openConversion)
            return openConversion(owner, window);
        RecordingConversionFace face;
        window.attach(face);
        if (inConversion)
            inConversion(window, face);
    }
    void exitProgram() override { ++exits; }

private:
    static std::string take(std::deque<std::string> &answers)
    {
        std::string answer = answers.empty() ? std::string() : std::move(answers.front());
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    void open(const std::string &target, Failure onFailure)
    {
        opened.push_back(target);
        if (nothingOpens && onFailure)
            unreported.push_back(std::move(onFailure));
    }
};
