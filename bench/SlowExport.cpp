// tarnwick-slow-export: the export run of tarnwick-cli with a slow writer, to measure
// what reading ahead holds while the file is written more slowly than the book is read.
//
//   tarnwick-slow-export BOOK FOLDER MS_PER_ROW
//
// Every column is written, each row MS_PER_ROW milliseconds after the one before.
#include "export/AtomicFileOutput.h"
#include "export/ContactsExport.h"
#include "export/ExportHost.h"
#include "notes/NotesSessionFactory.h"
#include "notes/SharedState.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

class Host final : public tarnwick::ExportHost
{
public:
    Host(std::string book, std::string folder)
        : m_book(std::move(book))
        , m_folder(std::move(folder))
    {
    }
    std::string browseForFolder(std::string_view) override { return m_folder; }
    int entryCount() override { return 28; }
    bool isTicked(int) override { return true; }
    std::string entryText(int position) override { return "C" + std::to_string(position); }
    std::string notesDatabaseFile() override { return m_book; }
    void setProgressRange(std::int32_t, std::int32_t) override {}
    void setProgressValue(std::int32_t) override {}
    void setConversionEnabled(bool) override {}
    void setProceedEnabled(bool) override {}
    void showOpenLink() override {}
    void showMessage(std::string_view text, std::string_view title) override
    {
        std::cout << title << ": " << text << '\n';
    }

private:
    std::string m_book, m_folder;
};

class SlowOutput final : public tarnwick::ExportOutput
{
public:
    explicit SlowOutput(int ms)
        : m_delay(ms)
    {
    }
    void open(const std::string &path) override { m_file.open(path); }
    void write(std::string_view bytes) override
    {
        std::this_thread::sleep_for(m_delay);
        m_file.write(bytes);
    }
    void commit() override { m_file.commit(); }
    void discard() noexcept override { m_file.discard(); }

private:
    tarnwick::AtomicFileOutput m_file;
    std::chrono::milliseconds m_delay;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::cerr << "usage: tarnwick-slow-export BOOK FOLDER MS_PER_ROW\n";
        return 2;
    }
    Host host(argv[1], argv[2]);
    SlowOutput output(std::atoi(argv[3]));
    notes::NotesSessionFactory notes;
    tarnwick::SharedState state;
    const auto result = tarnwick::RunContactsExport(host, notes, state, &output);
    return result.ending == tarnwick::ExportEnding::Completed ? 0 : 1;
}
