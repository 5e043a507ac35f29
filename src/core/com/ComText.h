#pragma once

#include "ComPlatform.h"

#include <string>
#include <string_view>

namespace notes::com {

// The program's text is UTF-8; automation's is UTF-16 in BSTRs.

// Throws NotesError naming `what` when utf8 is not valid UTF-8.
std::wstring toWide(std::string_view utf8, std::string_view what);
std::string toUtf8(std::wstring_view wide);
// A BSTR's whole length counts, embedded NULs included; null is the empty text.
std::string toUtf8(BSTR text);

// Owns one BSTR.
class Bstr
{
public:
    Bstr() noexcept = default;
    // Throws NotesError naming `what` when utf8 is not valid UTF-8 or memory runs out.
    Bstr(std::string_view utf8, std::string_view what);
    ~Bstr();
    Bstr(const Bstr &) = delete;
    Bstr &operator=(const Bstr &) = delete;
    Bstr(Bstr &&other) noexcept;
    Bstr &operator=(Bstr &&other) noexcept;

    BSTR get() const noexcept { return m_text; }
    // Hands the string over to a VARIANT, which frees it from then on.
    BSTR release() noexcept;

private:
    BSTR m_text = nullptr;
};

} // namespace notes::com
