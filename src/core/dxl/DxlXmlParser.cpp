#include "DxlXmlParser.h"

#include <expat.h>

#include <climits>
#include <cstring>
#include <new>
#include <random>

namespace notes::dxl {

namespace {

// One pass over the name: this runs for every element of a large file.
std::string_view localName(const char *name)
{
    const char *local = name;
    const char *p = name;
    for (; *p; ++p) {
        if (*p == ':')
            local = p + 1;
    }
    return std::string_view(local, static_cast<std::size_t>(p - local));
}

} // namespace

const char *DxlXmlParser::attribute(const char **attributes, const char *name)
{
    for (; attributes && attributes[0]; attributes += 2) {
        if (std::strcmp(attributes[0], name) == 0)
            return attributes[1];
    }
    return nullptr;
}

DxlXmlParser::DxlXmlParser(Handler &handler, const char *encoding)
    : m_handler(handler)
    , m_parser(XML_ParserCreate(encoding))
{
    if (!m_parser)
        throw std::bad_alloc();
    // Expat asks the system for a new hash salt at every document it starts, a system call
    // for each of a book's documents; one unpredictable salt a parser keeps names as hard
    // to collide.
    m_salt = std::random_device()();
    install();
}

DxlXmlParser::~DxlXmlParser()
{
    XML_ParserFree(m_parser);
}

void DxlXmlParser::reset(const char *encoding)
{
    XML_ParserReset(m_parser, encoding);
    m_declaredEncoding.clear();
    m_stopReason.clear();
    m_rootName.clear();
    m_declarationEnd = 0;
    m_doctypeEnd = 0;
    m_stopped = false;
    install();
}

void DxlXmlParser::install()
{
    XML_SetHashSalt(m_parser, m_salt | 1);
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, &DxlXmlParser::onStart, &DxlXmlParser::onEnd);
    XML_SetCharacterDataHandler(m_parser, &DxlXmlParser::onText);
    XML_SetXmlDeclHandler(m_parser, &DxlXmlParser::onXmlDecl);
    XML_SetEntityDeclHandler(m_parser, &DxlXmlParser::onEntityDecl);
    XML_SetSkippedEntityHandler(m_parser, &DxlXmlParser::onSkippedEntity);
    XML_SetDoctypeDeclHandler(m_parser, &DxlXmlParser::onStartDoctype, &DxlXmlParser::onEndDoctype);
    // Never read the external DTD that DXL's DOCTYPE names, nor any parameter entity.
    XML_SetParamEntityParsing(m_parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

bool DxlXmlParser::feed(const char *data, std::size_t length, bool isFinal)
{
    // Expat takes int lengths; split larger blocks rather than truncate them.
    while (length > static_cast<std::size_t>(INT_MAX)) {
        if (XML_Parse(m_parser, data, INT_MAX, XML_FALSE) != XML_STATUS_OK)
            return false;
        data += INT_MAX;
        length -= static_cast<std::size_t>(INT_MAX);
    }
    return XML_Parse(m_parser, data, static_cast<int>(length), isFinal ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
}

char *DxlXmlParser::buffer(std::size_t length)
{
    void *room = length <= static_cast<std::size_t>(INT_MAX) ? XML_GetBuffer(m_parser, static_cast<int>(length)) : nullptr;
    if (!room)
        throw std::bad_alloc();
    return static_cast<char *>(room);
}

bool DxlXmlParser::parseBuffer(std::size_t length, bool isFinal)
{
    return XML_ParseBuffer(m_parser, static_cast<int>(length), isFinal ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
}

void DxlXmlParser::stop(std::string reason)
{
    if (m_stopped)
        return;
    m_stopped = true;
    m_stopReason = std::move(reason);
    XML_StopParser(m_parser, XML_FALSE);
}

std::uint64_t DxlXmlParser::currentByteIndex() const
{
    const auto index = XML_GetCurrentByteIndex(m_parser);
    return index < 0 ? 0 : static_cast<std::uint64_t>(index);
}

std::uint64_t DxlXmlParser::currentByteCount() const
{
    const int count = XML_GetCurrentByteCount(m_parser);
    return count < 0 ? 0 : static_cast<std::uint64_t>(count);
}

std::string DxlXmlParser::errorText() const
{
    return errorReason() + " (line " + std::to_string(currentLine()) + ")";
}

std::string DxlXmlParser::errorReason() const
{
    return m_stopped ? m_stopReason : std::string(XML_ErrorString(XML_GetErrorCode(m_parser)));
}

std::uint64_t DxlXmlParser::currentLine() const
{
    return static_cast<std::uint64_t>(XML_GetCurrentLineNumber(m_parser));
}

void DxlXmlParser::onStart(void *self, const char *name, const char **attributes)
{
    auto *parser = static_cast<DxlXmlParser *>(self);
    if (parser->m_rootName.empty())
        parser->m_rootName = name;
    parser->m_handler.startElement(localName(name), attributes);
}

void DxlXmlParser::onEnd(void *self, const char *name)
{
    static_cast<DxlXmlParser *>(self)->m_handler.endElement(localName(name));
}

void DxlXmlParser::onText(void *self, const char *text, int length)
{
    static_cast<DxlXmlParser *>(self)->m_handler.characterData(
        std::string_view(text, static_cast<std::size_t>(length)));
}

void DxlXmlParser::onXmlDecl(void *self, const char *, const char *encoding, int)
{
    auto *parser = static_cast<DxlXmlParser *>(self);
    if (encoding)
        parser->m_declaredEncoding = encoding;
    parser->m_declarationEnd = parser->currentByteIndex() + parser->currentByteCount();
}

void DxlXmlParser::onSkippedEntity(void *self, const char *name, int isParameterEntity)
{
    static_cast<DxlXmlParser *>(self)->stop(std::string("undefined entity ") + (isParameterEntity ? "%" : "&") +
                                            name + ";");
}

void DxlXmlParser::onStartDoctype(void *self, const char *, const char *, const char *, int hasInternalSubset)
{
    // Declarations there (attribute defaults above all) would give a document values that
    // the same document, read alone, does not have.
    if (hasInternalSubset)
        static_cast<DxlXmlParser *>(self)->stop("the file declares a DTD of its own, which a DXL export never does");
}

void DxlXmlParser::onEndDoctype(void *self)
{
    auto *parser = static_cast<DxlXmlParser *>(self);
    parser->m_doctypeEnd = parser->currentByteIndex() + parser->currentByteCount();
}

void DxlXmlParser::onEntityDecl(void *self, const char *, int, const char *, int, const char *, const char *,
                                const char *, const char *)
{
    static_cast<DxlXmlParser *>(self)->stop("the file declares entities, which a DXL export never does");
}

} // namespace notes::dxl
