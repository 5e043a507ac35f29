#pragma once

#include <string>
#include <string_view>

namespace notes {
class Document;
}

namespace tarnwick::vcard {

// Appends the contact's card, vCard 3.0 (RFC 2426), to card: every value of every item
// that has a place in a card, UTF-8, each line ended by "\r\n" and folded at 75 octets.
// Reads the items through the document, so a value that cannot be read fails as it does
// for the CSV.
void appendCard(std::string &card, notes::Document &contact);

// A text value as the RFC writes it: backslash, comma and semicolon escaped, and any line
// break ("\r\n", "\r" or "\n") as "\n".
void appendEscaped(std::string &out, std::string_view text);

// One content line, folded so that no line is longer than 75 octets without its "\r\n"
// (a folded line starts with a blank), never inside a UTF-8 character; then "\r\n".
void appendFolded(std::string &out, std::string_view line);

// The common name of a Notes hierarchical name: "CN=Ann Carter/O=Acme" and the abbreviated
// "Ann Carter/Acme" both give "Ann Carter"; a flat name is returned as it is.
std::string_view commonName(std::string_view name);

} // namespace tarnwick::vcard
