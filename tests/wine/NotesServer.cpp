// A stand-in for the Notes client's OLE automation class, "Notes.NotesSession": a local
// server that COM starts in a process of its own, as it starts the Notes client, so that
// every call of the tests crosses processes and bitnesses. It serves a DXL book through the
// program's own DXL reader, with objects shaped as HCL documents Notes' own: collections
// walked by GetFirst.../GetNext... ending in Nothing, GetItemValue giving an array of
// VARIANTs, errors raised as DISP_E_EXCEPTION with a description, GetDatabase giving an
// unopened database (IsOpen False) for a book it cannot open, Document Nothing for a
// document deleted after its entry was made, AutoUpdate on the view, properties that
// answer only as properties, and GetNextDocument taking its entry by reference or by value.
//
//   notes-server /register [SWITCH...]   registers the class, with the switches it serves with
//   notes-server /unregister
//   notes-server /hold FILE              holds FILE open without sharing until stdin ends
//
// Switches: --book=DXL (served for any path that ends in "names.nsf"; any other path gives
// an unopened database), --log=FILE (what the tests check afterwards), --exit-after=N
// (the process ends in the Nth GetNextDocument), --reject-ms=N (every call is refused
// with RPC_E_CALL_REJECTED for the first N ms), --slow-ms=N (GetDatabase answers after N
// ms), --categories=K (a category entry before every K documents: counted, never walked),
// --delete=N (document N is deleted once the walk reaches it), --missing=array|empty|null
// (an item the document lacks comes as an empty array, VT_EMPTY or VT_NULL), --refuse-start
// (ends at once, as a client that fails to start).
#include "com/ComText.h"
#include "com/ComVariant.h"
#include "dxl/DxlSession.h"
#include "notes/NotesError.h"
#include "notes/NotesObjects.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace notes;

namespace {

// The stand-in's class, as the registry names it.
const std::wstring ClassId = L"{5C4D9E12-7B3A-4F61-A0C8-2D6E8B1F7A34}";
// Answers with the object itself, so that an entry handed back to its navigator is known.
constexpr IID IID_Self = {0x5c4d9e13, 0x7b3a, 0x4f61, {0xa0, 0xc8, 0x2d, 0x6e, 0x8b, 0x1f, 0x7a, 0x34}};

// The switches by name, "book", "slow-ms", ...: one given without a value is there, empty.
std::map<std::wstring, std::wstring> options;

long number(const wchar_t *name)
{
    return std::wcstol(options[name].c_str(), nullptr, 10);
}

ULONGLONG started = GetTickCount64(), lastCall = started;
long live = 0, idQuestions = 0, rejected = 0, nextCalls = 0;

void note(const std::string &line)
{
    if (FILE *log = _wfopen(options[L"log"].c_str(), L"ab")) { // none without --log
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

enum Kind { Session, Database, View, Navigator, Entry, Document };
// Each kind's members: a name, and whether it is a property.
const std::vector<std::pair<const wchar_t *, bool>> Members[] = {
    {{L"GetDatabase", false}},
    {{L"Title", true}, {L"IsOpen", true}, {L"GetView", false}},
    {{L"CreateViewNav", false}, {L"AutoUpdate", true}},
    {{L"Count", true}, {L"GetFirstDocument", false}, {L"GetNextDocument", false}},
    {{L"Document", true}},
    {{L"GetItemValue", false}},
};

// What an object is, by kind: the book (none when it could not be opened), the view and
// whether it updates itself, the walk, an entry's place, a document.
struct State // each member with its default, so that a kind names only its own
{
    std::shared_ptr<notes::Database> database{};
    std::shared_ptr<notes::View> view{};
    std::shared_ptr<bool> autoUpdate{};
    std::shared_ptr<ViewNavigator> navigator{};
    std::shared_ptr<ViewEntry> entry{};
    long position = 0;
    std::shared_ptr<notes::Document> document{};
};

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor" // deleted by its own Release only
#endif

class Object final : public IDispatch, State
{
public:
    explicit Object(Kind kind_, State state = {})
        : State(std::move(state)), kind(kind_)
    {
        ++live;
    }
    const Kind kind;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_Self);
        *object = known ? static_cast<IDispatch *>(this) : nullptr;
        return known ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            --live;
            // The last object a pass lets go of: everything else must be gone by now.
            if (kind == Session)
                note("session released, " + std::to_string(live) + " objects alive, " + std::to_string(idQuestions) +
                     " member ids asked, " + std::to_string(rejected) + " calls refused");
            delete this;
            if (live == 0)
                PostQuitMessage(0);
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override { return *info = nullptr, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        if (refused())
            return RPC_E_CALL_REJECTED;
        ++idQuestions;
        ids[0] = DISPID_UNKNOWN;
        const auto &members = Members[kind];
        for (std::size_t i = 0; count == 1 && i < members.size(); ++i)
            if (_wcsicmp(members[i].first, names[0]) == 0)
                ids[0] = static_cast<DISPID>(i + 1);
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *parameters, VARIANT *result,
                                     EXCEPINFO *error, UINT *) override
    {
        if (refused())
            return RPC_E_CALL_REJECTED;
        const auto &members = Members[kind];
        if (id < 1 || static_cast<std::size_t>(id) > members.size())
            return DISP_E_MEMBERNOTFOUND;
        const auto &[name, property] = members[static_cast<std::size_t>(id - 1)];
        // As a server built on its type library answers: a property is no method.
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        if (property ? !(flags & DISPATCH_PROPERTYGET) && !put : !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        // Answered all the same, as Visual Basic's late binding reads every value that way;
        // a caller that knows the member is a property reads it as one, and the tests look.
        if (property && (flags & DISPATCH_METHOD))
            note(com::toUtf8(name) + " read as a method");
        VARIANT ignored;
        if (!result)
            result = &ignored;
        VariantInit(result);
        try {
            return call(static_cast<int>(id), put, *parameters, *result);
        } catch (const std::exception &failure) {
            // Raised as Notes raises its errors: DISP_E_EXCEPTION, from the source "Notes", with
            // a description and no help, the code E_FAIL.
            if (error)
                *error = {0, 0, SysAllocString(L"Notes"), com::Bstr(failure.what(), "error").release(), nullptr, 0,
                          nullptr, nullptr, E_FAIL};
            return DISP_E_EXCEPTION;
        }
    }

private:
    ~Object() = default;

    static bool refused()
    {
        lastCall = GetTickCount64();
        return lastCall - started < static_cast<ULONGLONG>(number(L"reject-ms")) && ++rejected;
    }

    HRESULT call(int id, bool put, DISPPARAMS &parameters, VARIANT &result);
    ULONG m_references = 1;
};

// Argument i in natural order, by value whatever way it came, as `type`.
com::Variant argument(const DISPPARAMS &parameters, UINT i, VARTYPE type)
{
    com::Variant value;
    if (i >= parameters.cArgs || FAILED(VariantCopyInd(&value.get(), &parameters.rgvarg[parameters.cArgs - 1 - i])))
        throw NotesError("Argument " + std::to_string(i + 1) + " is missing");
    if (FAILED(VariantChangeType(&value.get(), &value.get(), 0, type)))
        throw NotesError("Type mismatch");
    return value;
}

std::string text(const DISPPARAMS &parameters, UINT i)
{
    return com::toUtf8(argument(parameters, i, VT_BSTR).get().bstrVal);
}

// The result handed over to the caller, who frees it.
HRESULT give(VARIANT &result, com::Variant value)
{
    std::swap(result, value.get());
    return S_OK;
}

// A new object of this server: its one reference goes to the caller. An entry that is not
// there is Nothing, as the walk's end.
HRESULT give(VARIANT &result, Kind kind, State state)
{
    result.vt = VT_DISPATCH;
    result.pdispVal = kind == Entry && !state.entry ? nullptr : new Object(kind, std::move(state));
    return S_OK;
}

HRESULT Object::call(int id, bool put, DISPPARAMS &parameters, VARIANT &result)
{
    switch (kind * 10 + id) {
    case Session * 10 + 1: { // GetDatabase(server, path)
        Sleep(static_cast<DWORD>(number(L"slow-ms")));
        const std::string server = text(parameters, 0), file = text(parameters, 1);
        std::shared_ptr<notes::Database> opened;
        // As Notes does, a book it cannot open is a database that is not open, whatever the
        // reason; one cut short opens and fails later.
        if (server.empty() && file.size() >= 9 && _stricmp(file.c_str() + file.size() - 9, "names.nsf") == 0) {
            try {
                opened = dxl::DxlSession().GetDatabase("", com::toUtf8(options[L"book"]));
            } catch (const NotesError &) {
            }
        }
        return give(result, Database, {.database = opened});
    }
    case Database * 10 + 1: // Title: readable whether or not the book is open
        return give(result, com::Variant::text(database ? database->Title() : "", "Title"));
    case Database * 10 + 2: // IsOpen
        return give(result, com::Variant::boolean(database != nullptr));
    case Database * 10 + 3: { // GetView(name)
        if (!database)
            throw NotesError("Database has not been opened yet");
        const std::string name = text(parameters, 0);
        if (_stricmp(name.c_str(), "People") != 0)
            return S_OK; // Nothing: no view of that name
        // The book's error, raised before any object is made.
        return give(result, View, {.view = database->GetView(name), .autoUpdate = std::make_shared<bool>(true)});
    }
    case View * 10 + 1: // CreateViewNav
        return give(result, Navigator, {.autoUpdate = autoUpdate, .navigator = view->CreateViewNav()});
    case View * 10 + 2: // AutoUpdate, as the walk sets it
        if (put)
            *autoUpdate = argument(parameters, 0, VT_BOOL).get().boolVal != VARIANT_FALSE;
        return put ? S_OK : DISP_E_MEMBERNOTFOUND;
    case Navigator * 10 + 1: { // Count: the entries, categories included
        const long documents = navigator->Count(), every = number(L"categories");
        const long categories = every ? (documents + every - 1) / every : 0;
        return give(result, com::Variant::int32(static_cast<std::int32_t>(documents + categories)));
    }
    case Navigator * 10 + 2: // GetFirstDocument
        return give(result, Entry, {.navigator = navigator, .entry = navigator->GetFirstDocument(), .position = 1});
    case Navigator * 10 + 3: { // GetNextDocument(entry)
        const com::Variant value = argument(parameters, 0, VT_DISPATCH);
        const VARTYPE form = parameters.rgvarg[parameters.cArgs - 1].vt;
        Object *current = nullptr;
        if (value.get().pdispVal)
            value.get().pdispVal->QueryInterface(IID_Self, reinterpret_cast<void **>(&current));
        if (!current || current->kind != Entry)
            return DISP_E_TYPEMISMATCH;
        const long from = current->position;
        auto next = navigator->GetNextDocument(*current->entry);
        current->Release();
        if (++nextCalls == 1)
            note(form == (VT_BYREF | VT_DISPATCH) ? "GetNextDocument: entry by reference" : "GetNextDocument: entry by value");
        if (nextCalls == number(L"exit-after"))
            ExitProcess(3);
        // A document deleted under a view that updates itself takes the walk's place with it.
        if (from + 1 == number(L"delete") && *autoUpdate)
            throw NotesError("Entry not found in index");
        return give(result, Entry, {.navigator = navigator, .entry = std::move(next), .position = from + 1});
    }
    case Entry * 10 + 1: // Document: Nothing once the document is deleted
        if (position == number(L"delete"))
            return S_OK;
        return give(result, Document, {.document = entry->Document()});
    case Document * 10 + 1: { // GetItemValue(name): an array of VARIANTs
        auto values = document->GetItemValue(text(parameters, 0));
        const std::wstring &missing = options[L"missing"];
        if (values == std::vector<std::string>{""} && !missing.empty()) {
            if (missing != L"array") // VT_EMPTY, or VT_NULL
                return result.vt = missing == L"null" ? VT_NULL : VT_EMPTY, S_OK;
            values.clear();
        }
        result.vt = VT_ARRAY | VT_VARIANT;
        result.parray = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
        for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
            com::Variant element = com::Variant::text(values[static_cast<std::size_t>(i)], "value");
            SafeArrayPutElement(result.parray, &i, &element.get()); // copies
        }
        return S_OK;
    }
    }
    return DISP_E_MEMBERNOTFOUND;
}

struct Factory final : IClassFactory
{
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // Never asked to aggregate: the tests' clients create the class as it is.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, REFIID iid, void **object) override
    {
        auto *session = new Object(Session);
        const HRESULT hr = session->QueryInterface(iid, object);
        session->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

const std::wstring ProgIdKey = L"Software\\Classes\\Notes.NotesSession",
                   ClassKey = L"Software\\Classes\\CLSID\\" + ClassId;

// Per machine: Wine's COM reads the classes of the machine only. A 32-bit server's class
// lands in the registry's 32-bit view, as a 32-bit client's does; its name in both.
bool setValue(const std::wstring &key, DWORD type, const std::wstring &value)
{
    const wchar_t *name = type == REG_MULTI_SZ ? L"Switches" : nullptr;
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, type, value.c_str(),
                           static_cast<DWORD>((value.size() + (type == REG_SZ)) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    std::vector<std::wstring> switches(argv + (argc > 1 ? 2 : 1), argv + argc);
    // Started by COM: the switches registered with the class (its command line stays short).
    if (!mode.starts_with(L"/")) {
        switches.clear();
        std::vector<wchar_t> list(32768);
        DWORD size = static_cast<DWORD>(list.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_LOCAL_MACHINE, ClassKey.c_str(), L"Switches", RRF_RT_REG_MULTI_SZ, nullptr,
                         list.data(), &size) == ERROR_SUCCESS)
            for (const wchar_t *at = list.data(); *at; at += wcslen(at) + 1)
                switches.emplace_back(at);
    }
    for (const auto &arg : switches) {
        const std::size_t equals = arg.find(L'=');
        if (arg.starts_with(L"--"))
            options[arg.substr(2, equals - 2)] = equals == std::wstring::npos ? L"" : arg.substr(equals + 1);
    }
    if (mode == L"/register") {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring list;
        for (const auto &arg : switches)
            list += arg + L'\0';
        list += L'\0';
        // As a client registers its OLE class: the name, and the program COM starts for it.
        return !(setValue(ProgIdKey + L"\\CLSID", REG_SZ, ClassId) &&
                 setValue(ClassKey + L"\\LocalServer32", REG_SZ, L"\"" + std::wstring(self) + L"\"") &&
                 setValue(ClassKey, REG_MULTI_SZ, list));
    }
    if (mode == L"/unregister") {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, ProgIdKey.c_str());
        // From either view, whichever bitness registered it: the keys /register made.
        for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (ClassKey + L"\\LocalServer32").c_str(), view, 0);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, ClassKey.c_str(), view, 0);
        }
        return 0;
    }
    if (mode == L"/hold" && argc > 2) {
        // As a spreadsheet program holds the file it shows: open, and shared with nobody.
        HANDLE file = CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        std::printf(file == INVALID_HANDLE_VALUE ? "cannot hold\n" : "held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return file == INVALID_HANDLE_VALUE ? 1 : 0;
    }
    // Started by COM: serves until its last object is let go of.
    if (options.contains(L"refuse-start"))
        return 1;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Factory factory;
    DWORD cookie = 0;
    CLSID classId{};
    CLSIDFromString(ClassId.c_str(), &classId);
    // One server a session, started with the switches registered at the time.
    if (FAILED(CoRegisterClassObject(classId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie)))
        return 2;
    note("started");
    SetTimer(nullptr, 0, 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // A client that never lets go of its objects does not keep the server forever.
        if (message.message == WM_TIMER && GetTickCount64() - lastCall > 120000)
            break;
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
