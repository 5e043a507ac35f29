#include "ComVariant.h"

#include "notes/NotesError.h"
#include "ComDispatch.h"
#include "ComText.h"

#include <cstring>

namespace notes::com {

Variant::Variant() noexcept
{
    VariantInit(&m_value);
}

Variant::~Variant()
{
    VariantClear(&m_value);
}

Variant::Variant(Variant &&other) noexcept
{
    // A VARIANT is plain data: the bits move, and the source forgets what it owned.
    std::memcpy(&m_value, &other.m_value, sizeof m_value);
    VariantInit(&other.m_value);
}

Variant &Variant::operator=(Variant &&other) noexcept
{
    if (this != &other) {
        VariantClear(&m_value);
        std::memcpy(&m_value, &other.m_value, sizeof m_value);
        VariantInit(&other.m_value);
    }
    return *this;
}

Variant Variant::text(std::string_view utf8, std::string_view what)
{
    Bstr text(utf8, what);
    Variant v;
    v.m_value.vt = VT_BSTR;
    v.m_value.bstrVal = text.release();
    return v;
}

Variant Variant::int32(std::int32_t value) noexcept
{
    Variant v;
    v.m_value.vt = VT_I4;
    v.m_value.lVal = value;
    return v;
}

Variant Variant::boolean(bool value) noexcept
{
    Variant v;
    v.m_value.vt = VT_BOOL;
    v.m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::object(IDispatch *object) noexcept
{
    Variant v;
    v.m_value.vt = VT_DISPATCH;
    v.m_value.pdispVal = object;
    if (object)
        object->AddRef();
    return v;
}

Variant Variant::objectReference(IDispatch **slot) noexcept
{
    // VariantClear leaves by-reference values alone, so the slot's object is never
    // released through this VARIANT.
    Variant v;
    v.m_value.vt = VT_BYREF | VT_DISPATCH;
    v.m_value.ppdispVal = slot;
    return v;
}

VARIANT *Variant::receive() noexcept
{
    VariantClear(&m_value);
    return &m_value;
}

std::string typeName(VARTYPE type)
{
    static constexpr struct
    {
        VARTYPE type;
        const char *name;
    } Names[] = {
        {VT_EMPTY, "VT_EMPTY"}, {VT_NULL, "VT_NULL"},         {VT_I2, "VT_I2"},         {VT_I4, "VT_I4"},
        {VT_R4, "VT_R4"},       {VT_R8, "VT_R8"},             {VT_CY, "VT_CY"},         {VT_DATE, "VT_DATE"},
        {VT_BSTR, "VT_BSTR"},   {VT_DISPATCH, "VT_DISPATCH"}, {VT_ERROR, "VT_ERROR"},   {VT_BOOL, "VT_BOOL"},
        {VT_VARIANT, "VT_VARIANT"}, {VT_UNKNOWN, "VT_UNKNOWN"}, {VT_DECIMAL, "VT_DECIMAL"}, {VT_I1, "VT_I1"},
        {VT_UI1, "VT_UI1"},     {VT_UI2, "VT_UI2"},           {VT_UI4, "VT_UI4"},       {VT_I8, "VT_I8"},
        {VT_UI8, "VT_UI8"},     {VT_INT, "VT_INT"},           {VT_UINT, "VT_UINT"},     {VT_RECORD, "VT_RECORD"},
    };
    std::string name;
    if (type & VT_ARRAY)
        name += "VT_ARRAY|";
    if (type & VT_BYREF)
        name += "VT_BYREF|";
    const auto base = static_cast<VARTYPE>(type & VT_TYPEMASK);
    for (const auto &entry : Names)
        if (entry.type == base)
            return name + entry.name;
    return name + "type " + std::to_string(base);
}

namespace {

// MinGW's headers declare the source of VariantChangeType and VariantCopyInd without
// const; the functions only read it.
VARIANTARG *readOnly(const VARIANT &value)
{
    return const_cast<VARIANTARG *>(&value);
}

// Reads an array element by element; the array stays the caller's.
class ArrayReader
{
public:
    ArrayReader(SAFEARRAY *array, VARTYPE elementType, std::string_view what)
        : m_array(array)
        , m_elementType(elementType)
        , m_what(what)
    {
        if (!array)
            throw NotesError(m_what + ": Notes gave a null array");
        if (SafeArrayGetDim(array) != 1)
            throw NotesError(m_what + ": Notes gave an array of " + std::to_string(SafeArrayGetDim(array)) +
                             " dimensions");
        check(SafeArrayGetLBound(array, 1, &m_lower), "SafeArrayGetLBound");
        check(SafeArrayGetUBound(array, 1, &m_upper), "SafeArrayGetUBound");
        // Elements other than VARIANTs are read into a VARIANT's value field, so they must
        // fit there; DECIMAL and records do not, and Notes gives neither.
        if (elementType != VT_VARIANT && (elementType == VT_DECIMAL || elementType == VT_RECORD ||
                                          SafeArrayGetElemsize(array) > sizeof(LONGLONG)))
            throw NotesError(m_what + ": cannot read an array of " + typeName(elementType));
    }

    LONG lower() const { return m_lower; }
    LONG upper() const { return m_upper; }

    // Element `index`, copied into `out` (which owns the copy).
    void read(LONG index, Variant &out) const
    {
        VARIANT *value = out.receive();
        if (m_elementType == VT_VARIANT) {
            check(SafeArrayGetElement(m_array, &index, value), "SafeArrayGetElement");
        } else {
            // SafeArrayGetElement copies strings and adds references to objects, so the
            // VARIANT owns what it holds once its type is set.
            check(SafeArrayGetElement(m_array, &index, &value->llVal), "SafeArrayGetElement");
            value->vt = m_elementType;
        }
    }

private:
    void check(HRESULT hr, const char *call) const
    {
        if (hr < 0)
            throw NotesError(m_what + ": " + call + " failed: " + describeHresult(hr));
    }

    SAFEARRAY *m_array;
    VARTYPE m_elementType;
    std::string m_what;
    LONG m_lower = 0;
    LONG m_upper = -1;
};

} // namespace

std::string textValue(const VARIANT &value, std::string_view what)
{
    if (value.vt == VT_BSTR)
        return toUtf8(value.bstrVal);
    Variant text;
    // Flags 0 and the user's locale: numbers and dates read as the platform writes them.
    const HRESULT hr = VariantChangeType(text.receive(), readOnly(value), 0, VT_BSTR);
    if (hr < 0)
        throw NotesError(std::string(what) + ": a " + typeName(value.vt) + " value cannot be read as text: " +
                         describeHresult(hr));
    return toUtf8(text.get().bstrVal);
}

std::vector<std::string> textValues(const VARIANT &value, std::string_view what)
{
    if (value.vt & VT_BYREF) {
        Variant direct;
        const HRESULT hr = VariantCopyInd(direct.receive(), readOnly(value));
        if (hr < 0)
            throw NotesError(std::string(what) + ": cannot read a " + typeName(value.vt) + " value: " +
                             describeHresult(hr));
        return textValues(direct.get(), what);
    }
    if (!(value.vt & VT_ARRAY))
        return {textValue(value, what)};

    const ArrayReader array(value.parray, static_cast<VARTYPE>(value.vt & VT_TYPEMASK), what);
    std::vector<std::string> values;
    Variant element;
    for (LONG i = array.lower(); i <= array.upper(); ++i) {
        array.read(i, element);
        values.push_back(textValue(element.get(), std::string(what) + " value " + std::to_string(i - array.lower())));
    }
    return values;
}

std::int32_t int32Value(const VARIANT &value, std::string_view what)
{
    if (value.vt == VT_I4)
        return value.lVal;
    Variant number;
    const HRESULT hr = VariantChangeType(number.receive(), readOnly(value), 0, VT_I4);
    if (hr < 0)
        throw NotesError(std::string(what) + ": a " + typeName(value.vt) + " value cannot be read as a number: " +
                         describeHresult(hr));
    return number.get().lVal;
}

} // namespace notes::com
