#include "ComText.h"

#include "notes/NotesError.h"

#include <limits>

namespace notes::com {

namespace {

int checkedLength(std::size_t size, std::string_view what)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw NotesError(std::string(what) + ": the text is too long");
    return static_cast<int>(size);
}

} // namespace

std::wstring toWide(std::string_view utf8, std::string_view what)
{
    if (utf8.empty())
        return {};
    const int length = checkedLength(utf8.size(), what);
    // Refuse broken UTF-8 instead of letting it turn into question marks on the way to Notes.
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0)
        throw NotesError(std::string(what) + ": the text is not valid UTF-8");
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), needed);
    return wide;
}

std::string toUtf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int length = checkedLength(wide.size(), "text from Notes");
    // Flags 0: an unpaired surrogate becomes U+FFFD rather than failing the read.
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        throw NotesError("text from Notes cannot be converted to UTF-8");
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::string toUtf8(BSTR text)
{
    if (!text)
        return {};
    return toUtf8(std::wstring_view(text, SysStringLen(text)));
}

Bstr::Bstr(std::string_view utf8, std::string_view what)
{
    const std::wstring wide = toWide(utf8, what);
    m_text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!m_text)
        throw NotesError(std::string(what) + ": out of memory");
}

Bstr::~Bstr()
{
    SysFreeString(m_text);
}

Bstr::Bstr(Bstr &&other) noexcept
    : m_text(other.release())
{
}

Bstr &Bstr::operator=(Bstr &&other) noexcept
{
    if (this != &other) {
        SysFreeString(m_text);
        m_text = other.release();
    }
    return *this;
}

BSTR Bstr::release() noexcept
{
    BSTR text = m_text;
    m_text = nullptr;
    return text;
}

} // namespace notes::com
