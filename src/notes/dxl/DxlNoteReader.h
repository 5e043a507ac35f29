#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace notes::dxl {

// Turns the items of one DXL note into text values, from the parse events of the note's
// children. Used for the view index (a few items of every note) and for reading a whole
// document, so both see exactly the same values.
class DxlNoteReader
{
public:
    struct Item
    {
        std::string name; // ASCII letters in lower case: item names match case-insensitively
        std::vector<std::string> values;
    };
    // Which items to decode, by lower-case name; null decodes them all.
    using Filter = bool (*)(std::string_view lowerName);

    explicit DxlNoteReader(Filter wanted = nullptr);

    void clear();
    // Events of the elements inside the note element, not of the note element itself.
    void startElement(std::string_view name, const char **attributes);
    void endElement(std::string_view name);
    void characterData(std::string_view text);

    // In file order; of several items of one name only the first is kept.
    std::vector<Item> &items() { return m_items; }
    const Item *find(std::string_view lowerName) const;

    static std::string lowerAscii(std::string_view text);

private:
    enum class Capture { None, Text, Number, DateTime };

    void ignoreSubtree(int level) { m_ignoreLevel = level; }
    std::string &currentValue() { return m_items.back().values.back(); }

    Filter m_wanted;
    std::vector<Item> m_items;
    int m_level = 0;       // of the innermost open element, 1 for the note's children
    int m_ignoreLevel = 0; // events below this open element are dropped
    bool m_inItem = false;
    Capture m_capture = Capture::None;
    int m_captureLevel = 0;
    bool m_inPair = false;
    bool m_pairTaken = false;
    bool m_inRichText = false;
    int m_paragraphLevel = 0;
    int m_paragraphs = 0;
};

} // namespace notes::dxl
