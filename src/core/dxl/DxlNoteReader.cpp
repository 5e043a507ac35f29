#include "DxlNoteReader.h"

#include "DxlValueText.h"
#include "DxlXmlParser.h"


namespace notes::dxl {

namespace {

// Rich-text content that carries no readable text of its own: pictures, attachments,
// embedded objects. Their base64 payload must not leak into the value.
bool isOpaqueRichContent(std::string_view name)
{
    return name == "picture" || name == "attachmentref" || name == "objectref" || name == "object" ||
           name == "rawitemdata" || name == "imagemap" || name == "notesbitmap" || name == "gif" ||
           name == "jpeg" || name == "png" || name == "cgm" || name == "pardef" || name == "fonttable";
}

} // namespace

DxlNoteReader::DxlNoteReader(Filter wanted)
    : m_wanted(wanted)
{
}

void DxlNoteReader::clear()
{
    m_note.clear();
    m_level = 0;
    m_ignoreLevel = 0;
    m_inItem = false;
    m_capture = Capture::None;
    m_inPair = false;
    m_inRichText = false;
    m_paragraphLevel = 0;
}

void DxlNoteReader::startElement(std::string_view name, const char **attributes)
{
    const int level = ++m_level;
    if (m_ignoreLevel)
        return;

    if (level == 1) {
        const char *itemName = name == "item" ? DxlXmlParser::attribute(attributes, "name") : nullptr;
        if (!itemName) {
            ignoreSubtree(level); // noteinfo, updatedby, revisions: not items
            return;
        }
        // A second item of a name is kept too: lookups find the first.
        if (m_wanted && !m_wanted(itemName)) {
            ignoreSubtree(level);
            return;
        }
        m_note.beginItem(itemName);
        m_inItem = true;
        return;
    }
    if (!m_inItem)
        return;

    if (m_inRichText) {
        if (name == "par") {
            if (m_paragraphs++ > 0)
                m_note.appendToValue('\n');
            ++m_paragraphLevel;
        } else if (name == "break") {
            if (m_paragraphLevel > 0)
                m_note.appendToValue('\n');
        } else if (isOpaqueRichContent(name)) {
            ignoreSubtree(level);
        }
        return;
    }
    if (m_capture != Capture::None) {
        if (name == "break")
            m_note.appendToValue('\n');
        else
            ignoreSubtree(level);
        return;
    }

    auto beginValue = [&](Capture kind) {
        m_note.beginValue();
        m_capture = kind;
        m_captureLevel = level;
    };
    if (name == "text") {
        beginValue(Capture::Text);
    } else if (name == "number") {
        beginValue(Capture::Number);
    } else if (name == "datetime") {
        if (m_inPair && m_pairTaken) {
            ignoreSubtree(level);
            return;
        }
        m_pairTaken = m_inPair;
        beginValue(Capture::DateTime);
    } else if (name == "textlist" || name == "numberlist" || name == "datetimelist") {
        // a container: its children are the values
    } else if (name == "datetimepair") {
        m_inPair = true;
        m_pairTaken = false;
    } else if (name == "richtext") {
        m_note.beginValue();
        m_inRichText = true;
        m_paragraphs = 0;
        m_paragraphLevel = 0;
    } else {
        // rawitemdata, object, anything unknown: no text; the item's one empty value
        // comes at its end.
        ignoreSubtree(level);
    }
}

void DxlNoteReader::endElement(std::string_view name)
{
    const int level = m_level--;
    if (m_ignoreLevel) {
        if (level == m_ignoreLevel)
            m_ignoreLevel = 0;
        return;
    }
    if (!m_inItem)
        return;

    if (level == 1) {
        m_note.endItem();
        m_inItem = false;
        m_inRichText = false;
        m_capture = Capture::None;
        m_inPair = false;
        return;
    }
    if (m_inRichText) {
        if (name == "par" && m_paragraphLevel > 0)
            --m_paragraphLevel;
        else if (name == "richtext") {
            m_note.endValue();
            m_inRichText = false;
        }
        return;
    }
    if (m_capture != Capture::None && level == m_captureLevel) {
        if (m_capture == Capture::Number)
            m_note.replaceCurrentValue(DxlValueText::number(m_note.currentValue()));
        else if (m_capture == Capture::DateTime)
            m_note.replaceCurrentValue(DxlValueText::dateTime(m_note.currentValue()));
        m_note.endValue();
        m_capture = Capture::None;
        return;
    }
    if (name == "datetimepair")
        m_inPair = false;
}

void DxlNoteReader::characterData(std::string_view text)
{
    if (m_ignoreLevel)
        return;
    if (m_capture != Capture::None || (m_inRichText && m_paragraphLevel > 0))
        m_note.appendToValue(text);
}

} // namespace notes::dxl
