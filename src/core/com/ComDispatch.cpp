#include "ComDispatch.h"

#include "notes/BusyHook.h"
#include "notes/NotesError.h"
#include "ComMessageFilter.h"
#include "ComText.h"

#include <chrono>
#include <cstdio>
#include <thread>
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
    static const bool filtered = (ComMessageFilter::install(), true);
    (void)filtered;
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
        {RPC_E_SERVERCALL_RETRYLATER, "RPC_E_SERVERCALL_RETRYLATER"},
        {CO_E_SERVER_STOPPING, "CO_E_SERVER_STOPPING"},
        {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), "RPC_S_SERVER_UNAVAILABLE"},
        {HRESULT_FROM_WIN32(RPC_S_CALL_FAILED), "RPC_S_CALL_FAILED"},
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

// A server busy with something else (the Notes client asking for a password) refuses
// calls. COM retries them through the thread's message filter; a refusal that still comes
// back here, where COM could not or did not retry, is tried again the same way until the
// same patience runs out. Meanwhile the windows keep painting.
template <typename Call>
HRESULT retryWhileRefused(Call &&call)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const HRESULT hr = call();
        if (hr != RPC_E_CALL_REJECTED && hr != RPC_E_SERVERCALL_RETRYLATER)
            return hr;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        const auto pause = ComMessageFilter::retryPause(elapsed);
        if (!pause)
            return hr;
        for (const auto until = std::chrono::steady_clock::now() + *pause; std::chrono::steady_clock::now() < until;) {
            BusyHook::tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

} // namespace

const DISPID *MemberIds::find(const std::string &key) const
{
    const auto found = m_ids.find(key);
    return found == m_ids.end() ? nullptr : &found->second;
}

ComDispatch::~ComDispatch()
{
    if (m_object)
        m_object->Release();
}

ComDispatch::ComDispatch(const ComDispatch &other) noexcept
    : m_object(other.m_object)
    , m_ids(other.m_ids)
    , m_class(other.m_class)
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
        m_ids = other.m_ids;
        m_class = other.m_class;
    }
    return *this;
}

ComDispatch::ComDispatch(ComDispatch &&other) noexcept
    : m_object(std::exchange(other.m_object, nullptr))
    , m_ids(std::move(other.m_ids))
    , m_class(std::exchange(other.m_class, nullptr))
{
}

ComDispatch &ComDispatch::operator=(ComDispatch &&other) noexcept
{
    if (this != &other) {
        if (m_object)
            m_object->Release();
        m_object = std::exchange(other.m_object, nullptr);
        m_ids = std::move(other.m_ids);
        m_class = std::exchange(other.m_class, nullptr);
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

ComDispatch ComDispatch::create(std::string_view progId, std::string *whyNot)
{
    ensureComInitialised();
    const std::string name(progId);
    const std::wstring wideName = toWide(progId, name);
    CLSID classId{};
    HRESULT hr = CLSIDFromProgID(wideName.c_str(), &classId);
    if (FAILED(hr)) {
        if (whyNot)
            *whyNot = name + ": no class is registered under this name: " + describeHresult(hr);
        return {};
    }
    IDispatch *object = nullptr;
    hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void **>(&object));
    ComDispatch created(object);
    // The name is found but not the class: a 32-bit Notes client's in-process server seen
    // from a 64-bit program, or the other way round. For this program it is not there.
    if (hr == REGDB_E_CLASSNOTREG) {
        if (whyNot)
            *whyNot = name + ": the class is not registered for " + (sizeof(void *) == 8 ? "64" : "32") +
                      "-bit programs: " + describeHresult(hr);
        return {};
    }
    // It is there but would not start: that is what the user must hear about.
    if (FAILED(hr) || !created)
        throw NotesError(name + ": the object cannot be created: " + describeHresult(hr));
    return created;
}

void ComDispatch::startSession(const char *className)
{
    m_ids = std::make_shared<MemberIds>();
    m_class = className;
}

ComDispatch ComDispatch::sameSession(ComDispatch object, const char *className) const
{
    object.m_ids = m_ids;
    object.m_class = className;
    return object;
}

Variant ComDispatch::call(std::string_view member, std::span<Variant> args)
{
    return invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

Variant ComDispatch::get(std::string_view member, std::span<Variant> args)
{
    return invoke(member, DISPATCH_PROPERTYGET, args);
}

bool ComDispatch::setIfPresent(std::string_view member, Variant value)
{
    bool present = true;
    invoke(member, DISPATCH_PROPERTYPUT, std::span<Variant>(&value, 1), &present);
    return present;
}

bool ComDispatch::idOf(std::string_view member, DISPID &id, bool mayBeMissing)
{
    const std::string name(member);
    std::string key;
    if (m_ids && m_class) {
        key.append(m_class).append(".").append(name);
        if (const DISPID *known = m_ids->find(key)) {
            id = *known;
            return true;
        }
    }
    std::wstring wideName = toWide(member, name);
    LPOLESTR names[] = {wideName.data()};
    id = DISPID_UNKNOWN;
    const HRESULT hr =
        retryWhileRefused([&] { return m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
    if (hr == DISP_E_UNKNOWNNAME && mayBeMissing)
        return false;
    if (FAILED(hr))
        throw NotesError(name + ": the object has no member of this name: " + describeHresult(hr));
    if (!key.empty())
        m_ids->remember(std::move(key), id);
    return true;
}

Variant ComDispatch::invoke(std::string_view member, WORD flags, std::span<Variant> args, bool *present)
{
    const std::string name(member);
    if (!m_object)
        throw NotesError(name + ": there is no object to call");
    DISPID id = DISPID_UNKNOWN;
    if (!idOf(member, id, present != nullptr)) {
        *present = false;
        return {};
    }

    ArgumentArray arguments(args);
    DISPPARAMS parameters = arguments.parameters();
    // A property's new value is its one named argument.
    DISPID putId = DISPID_PROPERTYPUT;
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    Variant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    HRESULT hr = retryWhileRefused([&] {
        return m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result.receive(),
                                &exception.info, &badArgument);
    });
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
