#include "SplitFileOutput.h"

#include "FilePaths.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace tarnwick {

// A part's own messages name its staging file; the user knows the part by its final name.
template <typename Action>
void SplitFileOutput::onPart(std::int32_t number, Action &&action)
{
    try {
        action();
    } catch (const std::runtime_error &error) {
        std::string message = error.what();
        const auto staged = stagingPath(number);
        if (const auto at = message.find(staged); at != std::string::npos)
            message.replace(at, staged.size(), partPath(m_path, number));
        throw std::runtime_error(message);
    }
}

SplitFileOutput::SplitFileOutput(std::int32_t contactsPerPart, PartFactory makePart)
    : m_contactsPerPart(contactsPerPart)
    , m_makePart(std::move(makePart))
{
    if (m_contactsPerPart < 1)
        throw std::invalid_argument("a part must hold at least one contact");
}

SplitFileOutput::~SplitFileOutput()
{
    discard();
}

std::string SplitFileOutput::partPath(const std::string &path, std::int32_t number)
{
    const auto extension = utf8Path(fsPath(path).extension());
    return path.substr(0, path.size() - extension.size()) + "-" + std::to_string(number) + extension;
}

std::string SplitFileOutput::stagingPath(std::int32_t number) const
{
    return partPath(m_path, number) + m_stagingSuffix;
}

void SplitFileOutput::open(const std::string &path)
{
    discard();
    m_path = path;
    m_stagingSuffix = uniqueSuffix(".part");
    m_header.clear();
    m_haveHeader = false;
    m_inPart = 0;
    m_count = 0;
}

void SplitFileOutput::startPart()
{
    auto part = m_makePart();
    onPart(m_count + 1, [&] { part->open(stagingPath(m_count + 1)); });
    m_parts.push_back(std::move(part));
    ++m_count;
    onPart(m_count, [&] { m_parts.back()->write(m_header); });
    m_inPart = 0;
}

void SplitFileOutput::write(std::string_view bytes)
{
    if (!m_haveHeader) {
        // Held back until a row needs a part: the header alone makes no part.
        m_header.assign(bytes);
        m_haveHeader = true;
        return;
    }
    if (m_parts.empty() || m_inPart == m_contactsPerPart)
        startPart();
    onPart(m_count, [&] { m_parts.back()->write(bytes); });
    ++m_inPart;
}

void SplitFileOutput::commit()
{
    if (m_parts.empty())
        startPart(); // a view without contacts still gets its header, as the single file does
    try {
        for (auto &part : m_parts) {
            onPart(static_cast<std::int32_t>(m_staged + 1), [&] { part->commit(); });
            ++m_staged;
        }
    } catch (...) {
        discard();
        throw;
    }
    // Everything is on disk; only renames within the folder are left.
    for (std::size_t i = 0; i < m_staged; ++i) {
        const auto number = static_cast<std::int32_t>(i + 1);
        const auto target = partPath(m_path, number);
        std::error_code ec;
        std::filesystem::rename(fsPath(stagingPath(number)), fsPath(target), ec);
        if (ec) {
            removeStaged(i);
            m_parts.clear();
            const std::string message = target + ": cannot replace the file: " + ec.message();
            if (i == 0)
                throw std::runtime_error(message);
            // The renames cannot be taken back: say which parts are this export's now.
            const auto name = [this](std::size_t n) {
                return utf8Path(fsPath(partPath(m_path, static_cast<std::int32_t>(n))).filename());
            };
            throw PartlyReplaced(message + "\r\n\r\n" + (i == 1 ? name(1) + " was" : name(1) + " to " + name(i) + " were") +
                                 " already replaced by this export; " + name(i + 1) +
                                 " and the parts after it are unchanged.");
        }
    }
    m_staged = 0;
    m_parts.clear();
}

void SplitFileOutput::removeStaged(std::size_t from) noexcept
{
    for (std::size_t i = from; i < m_staged; ++i) {
        std::error_code ignored;
        std::filesystem::remove(fsPath(stagingPath(static_cast<std::int32_t>(i + 1))), ignored);
    }
    m_staged = 0;
}

void SplitFileOutput::discard() noexcept
{
    removeStaged(0);
    for (auto &part : m_parts)
        part->discard();
    m_parts.clear();
}

} // namespace tarnwick
