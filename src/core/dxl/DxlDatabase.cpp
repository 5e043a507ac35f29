#include "DxlDatabase.h"

#include "notes/NotesError.h"
#include "DxlFile.h"
#include "DxlNote.h"
#include "DxlView.h"
#include "DxlViewIndex.h"
#include "DxlXmlParser.h"

#include <array>
#include <cstring>

namespace notes::dxl {

namespace {

constexpr const char *DxlNamespace = "http://www.lotus.com/dxl";
// A DXL root element comes first, after a short prolog; past this much, it is not DXL.
constexpr std::size_t MaxPrologBytes = 1 << 20;

class RootReader final : public DxlXmlParser::Handler
{
public:
    DxlXmlParser *parser = nullptr;
    bool found = false;
    bool isDatabase = false;
    std::string title;
    std::uint64_t rootEnd = 0;

    void startElement(std::string_view name, const char **attributes) override
    {
        found = true;
        rootEnd = parser->currentByteIndex() + parser->currentByteCount();
        const char *rootTitle = DxlXmlParser::attribute(attributes, "title");
        title = rootTitle ? rootTitle : "";
        // A <database> of some other vocabulary is not ours.
        const char *ns = DxlXmlParser::attribute(attributes, "xmlns");
        isDatabase = name == "database" && (!ns || std::strcmp(ns, DxlNamespace) == 0);
        parser->stop("root element read");
    }
    void endElement(std::string_view) override {}
    void characterData(std::string_view) override {}
};

} // namespace

DxlDatabase::DxlDatabase(std::string path, std::string title, DxlViewIndex::Layout layout)
    : m_path(std::move(path))
    , m_title(std::move(title))
    , m_layout(std::move(layout))
{
}

std::unique_ptr<DxlDatabase> DxlDatabase::open(std::string_view path)
{
    auto file = DxlFile::open(path);
    RootReader root;
    DxlXmlParser parser(root, nullptr);
    root.parser = &parser;

    std::array<char, 16384> chunk{};
    std::string encoding;
    std::size_t total = 0;
    bool ok = true;
    while (ok && !root.found && total < MaxPrologBytes) {
        file.read(chunk.data(), chunk.size());
        const auto got = static_cast<std::size_t>(file.gcount());
        if (total == 0)
            encoding = DxlFile::sniffEncoding(std::string_view(chunk.data(), got));
        total += got;
        ok = parser.feed(chunk.data(), got, got == 0);
        if (got == 0)
            break;
    }
    const std::string where = std::string(path);
    if (!root.found) {
        throw NotesError(where + " is not a DXL database: " +
                         (ok ? std::string("no root element") : parser.errorText()));
    }
    if (!root.isDatabase)
        throw NotesError(where + " is an XML file, but not a DXL database export");
    if (encoding.empty())
        encoding = parser.declaredEncoding().empty() ? "UTF-8" : parser.declaredEncoding();
    DxlViewIndex::Layout layout;
    layout.encoding = std::move(encoding);
    if (parser.doctypeEnd() > parser.declarationEnd())
        layout.doctype = DxlByteRange{parser.declarationEnd(), parser.doctypeEnd() - parser.declarationEnd()};
    layout.rootName = parser.rootName();
    layout.rootEnd = root.rootEnd;
    return std::unique_ptr<DxlDatabase>(new DxlDatabase(where, std::move(root.title), std::move(layout)));
}

std::unique_ptr<View> DxlDatabase::GetView(std::string_view name)
{
    if (!DxlNote::sameName(name, "People"))
        throw NotesError("the database has no view named " + std::string(name));
    return std::make_unique<DxlView>(DxlViewIndex::build(m_path, m_layout));
}

} // namespace notes::dxl
