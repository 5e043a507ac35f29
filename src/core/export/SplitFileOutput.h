#pragma once

#include "ContactsExport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarnwick {

// Google Contacts imports at most this many contacts from one file.
inline constexpr std::int32_t GoogleImportLimit = 3000;

// Spreads an export over parts of at most a given number of contacts each, for Google's
// import limit: "GMAILContacts.csv" becomes "GMAILContacts-1.csv", "GMAILContacts-2.csv",
// ... beside it (and "GMAILContacts.vcf" "GMAILContacts-1.vcf", ...), each starting with
// the header line. Each part is its own ExportOutput,
// made under a staging name beside its final one; on commit every part is committed
// (flushed and synced: a full disk shows here) under its staging name first, and only
// then are they renamed to their final names. So the parts appear together, and a failure
// anywhere before the renames leaves every file in the folder as it was.
//
// Relies on the export run's way of writing: the header line in one write (empty where the
// format has none), then each contact's row or card in one write (a row may hold line
// breaks inside quotes, and a card is many lines, so lines cannot be counted instead).
class SplitFileOutput final : public ExportOutput
{
public:
    using PartFactory = std::function<std::unique_ptr<ExportOutput>()>;

    // contactsPerPart must be at least 1. makePart makes the output of each part; the
    // default is the atomic file output.
    explicit SplitFileOutput(std::int32_t contactsPerPart, PartFactory makePart = makeFileOutput);
    ~SplitFileOutput() override;
    SplitFileOutput(const SplitFileOutput &) = delete;
    SplitFileOutput &operator=(const SplitFileOutput &) = delete;

    void open(const std::string &path) override;
    void write(std::string_view bytes) override;
    void commit() override;
    void discard() noexcept override;

    // How many parts the run wrote (or is writing).
    std::int32_t parts() const { return m_count; }
    // "DIR/GMAILContacts.csv", 2 -> "DIR/GMAILContacts-2.csv"; the number goes before
    // whatever extension the file name has.
    static std::string partPath(const std::string &path, std::int32_t number);

private:
    void startPart();
    std::string stagingPath(std::int32_t number) const;
    void removeStaged(std::size_t from) noexcept;
    template <typename Action>
    void onPart(std::int32_t number, Action &&action);

    std::int32_t m_contactsPerPart;
    PartFactory m_makePart;
    std::string m_path;
    std::string m_header;
    bool m_haveHeader = false;
    std::int32_t m_inPart = 0;
    std::int32_t m_count = 0;
    std::string m_stagingSuffix;
    std::size_t m_staged = 0; // parts committed under their staging names
    std::vector<std::unique_ptr<ExportOutput>> m_parts;
};

} // namespace tarnwick
