#pragma once

#include "DxlNote.h"

#include <string>
#include <string_view>

namespace notes::dxl {

// Turns the items of one DXL note into text values, from the parse events of the note's
// children. Used for the view index (a few items of every note) and for reading a whole
// document, so both see exactly the same values.
class DxlNoteReader
{
public:
    // Which items to decode, by name as written; null decodes them all.
    using Filter = bool (*)(std::string_view name);

    explicit DxlNoteReader(Filter wanted = nullptr);

    void clear();
    // Events of the elements inside the note element, not of the note element itself.
    void startElement(std::string_view name, const char **attributes);
    void endElement(std::string_view name);
    void characterData(std::string_view text);

    // In file order; of several items of one name, lookups find the first.
    DxlNote &note() { return m_note; }
    const DxlNote &note() const { return m_note; }

private:
    enum class Capture { None, Text, Number, DateTime };

    void ignoreSubtree(int level) { m_ignoreLevel = level; }

    Filter m_wanted;
    DxlNote m_note;
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
