#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct XML_ParserStruct;

namespace notes::dxl {

// Expat, hardened for files a user picked and we do not trust: no DTD is loaded, no
// external entity is resolved, and a file with an internal DTD subset or any entity
// declaration is refused before anything is expanded or defaulted. A reference to an
// entity nothing declares is refused too, even where expat would skip it because the
// external DTD might declare it: a file is read whole under one set of rules or not at
// all. A DXL export declares nothing and references only the predefined entities, so
// nothing real is lost, and entity bombs fail at their first declaration.
class DxlXmlParser
{
public:
    class Handler
    {
    public:
        virtual ~Handler() = default;
        // Names arrive without namespace prefix; attributes as expat gives them
        // (name, value, name, value, ..., null).
        virtual void startElement(std::string_view name, const char **attributes) = 0;
        virtual void endElement(std::string_view name) = 0;
        virtual void characterData(std::string_view text) = 0;
    };

    // encoding: null to detect it from the byte-order mark and XML declaration, as for a
    // whole file; a name ("UTF-16LE", ...) for a fragment cut out of such a file.
    DxlXmlParser(Handler &handler, const char *encoding);
    ~DxlXmlParser();
    DxlXmlParser(const DxlXmlParser &) = delete;
    DxlXmlParser &operator=(const DxlXmlParser &) = delete;

    // The value of an attribute in expat's (name, value, ..., null) list; null when absent.
    static const char *attribute(const char **attributes, const char *name);

    // Makes the parser ready for a new document, keeping its allocations.
    void reset(const char *encoding);

    // False once the input is malformed or a handler stopped the parse.
    bool feed(const char *data, std::size_t length, bool isFinal);
    // The same without a copy: the caller reads its bytes straight into the parser's
    // buffer (room for at least length bytes), then parses the count it read.
    char *buffer(std::size_t length);
    bool parseBuffer(std::size_t length, bool isFinal);
    // From a handler: end the parse; feed() returns false. failure: whether that is an error.
    void stop(std::string reason = {});

    std::uint64_t currentByteIndex() const;
    std::uint64_t currentByteCount() const;
    // The encoding the XML declaration names, empty when it names none.
    const std::string &declaredEncoding() const { return m_declaredEncoding; }
    // Where the XML declaration ends and where the DOCTYPE declaration ends (0 for none):
    // the bytes between hold nothing but the DOCTYPE, comments and processing instructions.
    std::uint64_t declarationEnd() const { return m_declarationEnd; }
    std::uint64_t doctypeEnd() const { return m_doctypeEnd; }
    // Why the parse failed, with the line where expat stopped.
    std::string errorText() const;
    // The same apart: the reason, and the line of the input being parsed now.
    std::string errorReason() const;
    std::uint64_t currentLine() const;
    // The qualified name of the first element, as written: the root's.
    const std::string &rootName() const { return m_rootName; }
    bool stoppedByHandler() const { return m_stopped; }

private:
    void install();
    static void onStart(void *self, const char *name, const char **attributes);
    static void onEnd(void *self, const char *name);
    static void onText(void *self, const char *text, int length);
    static void onXmlDecl(void *self, const char *version, const char *encoding, int standalone);
    static void onSkippedEntity(void *self, const char *name, int isParameterEntity);
    static void onStartDoctype(void *self, const char *, const char *, const char *, int hasInternalSubset);
    static void onEndDoctype(void *self);
    static void onEntityDecl(void *self, const char *, int, const char *, int, const char *, const char *,
                             const char *, const char *);

    Handler &m_handler;
    XML_ParserStruct *m_parser = nullptr;
    std::string m_declaredEncoding;
    std::string m_stopReason;
    std::string m_rootName;
    unsigned long m_salt = 0;
    std::uint64_t m_declarationEnd = 0;
    std::uint64_t m_doctypeEnd = 0;
    bool m_stopped = false;
};

} // namespace notes::dxl
