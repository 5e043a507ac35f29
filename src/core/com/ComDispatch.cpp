#include "ComDispatch.h"

#include "notes/NotesError.h"
#include "ComText.h"

#include <cstdio>
#include <vector>

namespace notes::com {

void ensureComInitialised()
{
    // Once, on the thread that first reaches Notes: the user-interface thread.
    static const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // S_FALSE: initialised the same way before (by Qt, say). RPC_E_CHANGED_MODE: the thread
    // is in the multithreaded apartment already; COM still works, through proxies.
    if (FAILED(result) && result != RPC_E_CHANGED_MODE)
        throw NotesError(std::string("COM cannot be initialised: ") + describeHresult(result));
}

std::string describeHresult(HRESULT hr)
{
    static constexpr struct
    {
        HRESULT code;
        const char *name;
    } Names[] = {
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {E_POINTER, "E_POINTER"},
        {E_FAIL, "E_FAIL"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_ACCESSDENIED, "E_ACCESSDENIED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED"},
        {CO_E_CLASSSTRING, "CO_E_CLASSSTRING"},
        {CO_E_SERVER_EXEC_FAILURE, "CO_E_SERVER_EXEC_FAILURE"},
        {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
        {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION"},
        {RPC_E_DISCONNECTED, "RPC_E_DISCONNECTED"},
        {RPC_E_SERVERFAULT, "RPC_E_SERVERFAULT"},
        {RPC_E_WRONG_THREAD, "RPC_E_WRONG_THREAD"},
        {RPC_E_CALL_REJECTED, "RPC_E_CALL_REJECTED"},
        {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME"},
        {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS"},
        {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
        {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
        {DISP_E_BADINDEX, "DISP_E_BADINDEX"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
        {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(hr));
    std::string text = hex;

    std::string detail;
    for (const auto &entry : Names)
        if (entry.code == hr)
            detail = entry.name;
    wchar_t message[512];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(hr), 0, message, static_cast<DWORD>(std::size(message)),
                                        nullptr);
    if (length > 0) {
        std::string system = toUtf8(std::wstring_view(message, length));
        while (!system.empty() && (system.back() == '\n' || system.back() == '\r' || system.back() == ' '))
            system.pop_back();
        if (!system.empty())
            detail += (detail.empty() ? "" : ": ") + system;
    }
    if (!detail.empty())
        text += " (" + detail + ")";
    return text;
}

namespace {

// EXCEPINFO's strings are the caller's to free, whatever happens next.
struct ExceptionInfo
{
    EXCEPINFO info{};

    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo &) = delete;
    ExceptionInfo &operator=(const ExceptionInfo &) = delete;
    ~ExceptionInfo()
    {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }

    // What the object said about the error it raised: its text, its source, its code.
    std::string describe()
    {
        if (info.pfnDeferredFillIn) {
            info.pfnDeferredFillIn(&info);
            info.pfnDeferredFillIn = nullptr;
        }
        std::string text = toUtf8(info.bstrDescription);
        if (text.empty())
            text = "no description";
        if (info.bstrSource && SysStringLen(info.bstrSource) > 0)
            text.append(" [source ").append(toUtf8(info.bstrSource)).append("]");
        if (info.scode != 0)
            text.append("; error ").append(describeHresult(info.scode));
        else if (info.wCode != 0)
            text.append("; error ").append(std::to_string(info.wCode));
        return text;
    }
};

// The arguments of one call, last first as automation takes them. The array owns them:
// whatever the callee leaves in them is cleared afterwards.
class ArgumentArray
{
public:
    explicit ArgumentArray(std::span<Variant> args)
    {
        m_values.reserve(args.size());
        for (auto it = args.rbegin(); it != args.rend(); ++it) {
            m_values.emplace_back();
            VariantInit(&m_values.back());
            // The bits move over; the Variant forgets what it owned.
            m_values.back() = it->get();
            VariantInit(&it->get());
        }
    }
    ArgumentArray(const ArgumentArray &) = delete;
    ArgumentArray &operator=(const ArgumentArray &) = delete;
    ~ArgumentArray()
    {
        for (auto &value : m_values)
            VariantClear(&value);
    }

    DISPPARAMS parameters()
    {
        DISPPARAMS parameters{};
        parameters.rgvarg = m_values.empty() ? nullptr : m_values.data();
        parameters.cArgs = static_cast<UINT>(m_values.size());
        return parameters;
    }

private:
    std::vector<VARIANTARG> m_values;
};

} // namespace

ComDispatch::~ComDispatch()
{
    if (m_object)
        m_object->Release();
}

ComDispatch::ComDispatch(const ComDispatch &other) noexcept
    : m_object(other.m_object)
{
    if (m_object)
        m_object->AddRef();
}

ComDispatch &ComDispatch::operator=(const ComDispatch &other) noexcept
{
    if (this != &other) {
        if (other.m_object)
            other.m_object->AddRef();
        if (m_object)
            m_object->Release();
        m_object = other.m_object;
    }
    return *this;
}

ComDispatch::ComDispatch(ComDispatch &&other) noexcept
    : m_object(std::exchange(other.m_object, nullptr))
{
}

ComDispatch &ComDispatch::operator=(ComDispatch &&other) noexcept
{
    if (this != &other) {
        if (m_object)
            m_object->Release();
        m_object = std::exchange(other.m_object, nullptr);
    }
    return *this;
}

ComDispatch ComDispatch::adopt(IDispatch *object) noexcept
{
    return ComDispatch(object);
}

ComDispatch ComDispatch::share(IDispatch *object) noexcept
{
    if (object)
        object->AddRef();
    return ComDispatch(object);
}

ComDispatch ComDispatch::create(std::string_view progId)
{
    ensureComInitialised();
    const std::string name(progId);
    const std::wstring wideName = toWide(progId, name);
    CLSID classId{};
    HRESULT hr = CLSIDFromProgID(wideName.c_str(), &classId);
    if (FAILED(hr))
        throw NotesError(name + ": no class is registered under this name: " + describeHresult(hr));
    IDispatch *object = nullptr;
    hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void **>(&object));
    ComDispatch created(object);
    if (FAILED(hr) || !created) {
        std::string message = name + ": the object cannot be created: " + describeHresult(hr);
        // The name is found but not the class: typically a 32-bit Notes client's in-process
        // server seen from a 64-bit program, or the other way round.
        if (hr == REGDB_E_CLASSNOTREG)
            message.append("; the class may be registered for ")
                .append(sizeof(void *) == 8 ? "32" : "64")
                .append("-bit programs only");
        throw NotesError(message);
    }
    return created;
}

Variant ComDispatch::call(std::string_view member, std::span<Variant> args)
{
    return invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

Variant ComDispatch::get(std::string_view member, std::span<Variant> args)
{
    return invoke(member, DISPATCH_PROPERTYGET, args);
}

Variant ComDispatch::invoke(std::string_view member, WORD flags, std::span<Variant> args)
{
    const std::string name(member);
    if (!m_object)
        throw NotesError(name + ": there is no object to call");
    std::wstring wideName = toWide(member, name);
    LPOLESTR names[] = {wideName.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        throw NotesError(name + ": the object has no member of this name: " + describeHresult(hr));

    ArgumentArray arguments(args);
    DISPPARAMS parameters = arguments.parameters();
    Variant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result.receive(), &exception.info,
                          &badArgument);
    if (SUCCEEDED(hr))
        return result;
    if (hr == DISP_E_EXCEPTION)
        throw NotesError(name + ": the call raised an error: " + exception.describe() + "; " + describeHresult(hr));
    if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && badArgument < parameters.cArgs)
        throw NotesError(name + ": argument " + std::to_string(parameters.cArgs - badArgument) +
                         " was refused: " + describeHresult(hr));
    throw NotesError(name + ": the call failed: " + describeHresult(hr));
}

ComDispatch ComDispatch::objectOf(const Variant &result, std::string_view member)
{
    const VARIANT &value = result.get();
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return {};
    case VT_DISPATCH:
        return share(value.pdispVal);
    case VT_BYREF | VT_DISPATCH:
        return share(value.ppdispVal ? *value.ppdispVal : nullptr);
    case VT_UNKNOWN: {
        if (!value.punkVal)
            return {};
        IDispatch *object = nullptr;
        const HRESULT hr = value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(&object));
        ComDispatch dispatch(object);
        if (FAILED(hr) || !dispatch)
            throw NotesError(std::string(member) + ": gave an object without automation: " + describeHresult(hr));
        return dispatch;
    }
    default:
        throw NotesError(std::string(member) + ": gave a " + typeName(value.vt) + " value, not an object");
    }
}

ComDispatch ComDispatch::requireObject(const Variant &result, std::string_view member)
{
    ComDispatch object = objectOf(result, member);
    if (!object)
        throw NotesError(std::string(member) + ": gave no object");
    return object;
}

} // namespace notes::com
