// The parse floor: one expat pass over a file that keeps nothing. Whatever the export does
// on top of reading the XML is measured against this.
#include <expat.h>

#include <cstdio>
#include <vector>

namespace {

void onStart(void *data, const char *, const char **) { ++*static_cast<unsigned long *>(data); }
void onEnd(void *, const char *) {}
void onText(void *, const char *, int) {}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwick-parse-floor FILE\n");
        return 2;
    }
    std::FILE *file = std::fopen(argv[1], "rb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    unsigned long elements = 0;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    std::vector<char> buffer(1 << 20);
    int status = 0;
    for (;;) {
        const auto got = std::fread(buffer.data(), 1, buffer.size(), file);
        if (XML_Parse(parser, buffer.data(), static_cast<int>(got), got == 0) != XML_STATUS_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[1], XML_ErrorString(XML_GetErrorCode(parser)));
            status = 1;
            break;
        }
        if (got == 0)
            break;
    }
    std::printf("%lu elements\n", elements);
    XML_ParserFree(parser);
    std::fclose(file);
    return status;
}
