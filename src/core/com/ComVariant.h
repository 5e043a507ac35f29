#pragma once

#include "ComPlatform.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace notes::com {

// Owns one VARIANT: cleared (strings freed, arrays destroyed, objects released) when it
// goes, on every path.
class Variant
{
public:
    Variant() noexcept;
    ~Variant();
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;
    Variant(Variant &&other) noexcept;
    Variant &operator=(Variant &&other) noexcept;

    // Throws NotesError naming `what` when utf8 is not valid UTF-8.
    static Variant text(std::string_view utf8, std::string_view what = "argument");
    static Variant int32(std::int32_t value) noexcept;
    static Variant boolean(bool value) noexcept;
    // Holds its own reference to the object.
    static Variant object(IDispatch *object) noexcept;
    // An object variable passed by reference, as Visual Basic passes one: the callee may
    // read the object in *slot and may replace it. The slot stays the caller's.
    static Variant objectReference(IDispatch **slot) noexcept;

    VARTYPE type() const noexcept { return m_value.vt; }
    const VARIANT &get() const noexcept { return m_value; }
    VARIANT &get() noexcept { return m_value; }
    // For an out parameter: cleared first, filled by the callee.
    VARIANT *receive() noexcept;

private:
    VARIANT m_value;
};

// The values of a result as text, as Notes' GetItemValue gives them: each element of an
// array, or the one value that is not an array. Each becomes text by the platform's
// default conversion (the user's locale, no flags). Throws NotesError naming `what`.
std::vector<std::string> textValues(const VARIANT &value, std::string_view what);
// One value that is not an array, as text by the same conversion.
std::string textValue(const VARIANT &value, std::string_view what);
std::int32_t int32Value(const VARIANT &value, std::string_view what);

// "VT_BSTR", "VT_ARRAY|VT_VARIANT", ... for messages.
std::string typeName(VARTYPE type);

} // namespace notes::com
