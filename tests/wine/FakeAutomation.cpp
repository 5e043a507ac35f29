#include "FakeAutomation.h"

#include "com/ComVariant.h"

#include <cwctype>

namespace {

int g_live = 0;

bool sameName(const std::wstring &a, const wchar_t *b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return i == a.size() && !b[i];
}

std::wstring wide(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace

FakeObject *FakeObject::create(std::string kind)
{
    return new FakeObject(std::move(kind));
}

FakeObject::FakeObject(std::string kind)
    : m_kind(std::move(kind))
{
    ++g_live;
}

FakeObject::~FakeObject()
{
    --g_live;
}

int FakeObject::live()
{
    return g_live;
}

std::vector<std::string> &FakeObject::journal()
{
    static std::vector<std::string> calls;
    return calls;
}

void FakeObject::define(const std::string &member, Member handler)
{
    m_members.emplace_back(wide(member), std::move(handler));
}

HRESULT FakeObject::raise(Call &call, HRESULT code, const std::wstring &description)
{
    if (call.error) {
        *call.error = EXCEPINFO{};
        call.error->bstrSource = SysAllocString(L"Fake Notes");
        call.error->bstrDescription = SysAllocString(description.c_str());
        call.error->scode = code;
    }
    return DISP_E_EXCEPTION;
}

HRESULT FakeObject::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FakeObject::AddRef()
{
    return ++m_references;
}

ULONG FakeObject::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeObject::GetTypeInfoCount(UINT *count)
{
    *count = 0;
    return S_OK;
}

HRESULT FakeObject::GetTypeInfo(UINT, LCID, ITypeInfo **info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT FakeObject::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    if (count != 1)
        return DISP_E_UNKNOWNNAME;
    for (std::size_t i = 0; i < m_members.size(); ++i)
        if (sameName(m_members[i].first, names[0])) {
            ids[0] = static_cast<DISPID>(i + 1);
            return S_OK;
        }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT FakeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *parameters, VARIANT *result,
                           EXCEPINFO *error, UINT *)
{
    if (id < 1 || static_cast<std::size_t>(id) > m_members.size())
        return DISP_E_MEMBERNOTFOUND;
    auto &[name, handler] = m_members[static_cast<std::size_t>(id - 1)];
    Call call{flags, {}, result, error};
    std::string entry = m_kind + "." + std::string(name.begin(), name.end()) + " " + std::to_string(flags);
    for (UINT i = parameters->cArgs; i-- > 0;) {
        call.args.push_back(&parameters->rgvarg[i]);
        entry.append(" ").append(notes::com::typeName(parameters->rgvarg[i].vt));
    }
    journal().push_back(entry);
    if (result)
        VariantInit(result);
    return handler(call);
}

FakeNotesBook::Contact FakeNotesBook::contact(const std::wstring &first, const std::wstring &middle,
                                              const std::wstring &last, const std::wstring &mail)
{
    return {{L"FirstName", {text(first)}},
            {L"MiddleInitial", {text(middle)}},
            {L"LastName", {text(last)}},
            {L"MailAddress", {text(mail)}}};
}

bool FakeNotesBook::failing(const std::string &member)
{
    const int n = ++m_calls[member];
    const auto it = m_failAt.find(member);
    return it != m_failAt.end() && it->second == n;
}

namespace {

HRESULT returnObject(FakeObject::Call &call, IDispatch *object)
{
    // The result owns the reference the maker gave.
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = object;
    return S_OK;
}

HRESULT returnNothing(FakeObject::Call &call)
{
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = nullptr;
    return S_OK;
}

bool isText(const VARIANT *value)
{
    return value->vt == VT_BSTR;
}

std::wstring textOf(const VARIANT *value)
{
    return std::wstring(value->bstrVal, SysStringLen(value->bstrVal));
}

} // namespace

IDispatch *FakeNotesBook::session()
{
    auto *session = FakeObject::create("NotesSession");
    session->define("GetDatabase", [this](FakeObject::Call &call) {
        if (call.args.size() != 2 || !isText(call.args[0]) || !isText(call.args[1]))
            return DISP_E_TYPEMISMATCH;
        if (failing("GetDatabase") || !textOf(call.args[0]).empty() || textOf(call.args[1]) != path)
            return FakeObject::raise(call, E_FAIL, L"Notes error: File does not exist (" + textOf(call.args[1]) + L")");
        return returnObject(call, database());
    });
    return session;
}

IDispatch *FakeNotesBook::database()
{
    auto *database = FakeObject::create("NotesDatabase");
    database->define("Title", [this](FakeObject::Call &call) {
        if (!(call.flags & DISPATCH_PROPERTYGET) || !call.args.empty())
            return DISP_E_MEMBERNOTFOUND;
        call.result->vt = VT_BSTR;
        call.result->bstrVal = SysAllocString(title.c_str());
        return S_OK;
    });
    database->define("GetView", [this](FakeObject::Call &call) {
        if (call.args.size() != 1 || !isText(call.args[0]))
            return DISP_E_TYPEMISMATCH;
        if (failing("GetView"))
            return FakeObject::raise(call, E_FAIL, L"Notes error: Database has not been opened yet");
        // Notes gives Nothing for a view the database does not have.
        return textOf(call.args[0]) == L"People" ? returnObject(call, view()) : returnNothing(call);
    });
    return database;
}

IDispatch *FakeNotesBook::view()
{
    auto *view = FakeObject::create("NotesView");
    view->define("CreateViewNav", [this](FakeObject::Call &call) {
        if (!call.args.empty())
            return DISP_E_BADPARAMCOUNT;
        return returnObject(call, navigator());
    });
    return view;
}

IDispatch *FakeNotesBook::navigator()
{
    auto *navigator = FakeObject::create("NotesViewNavigator");
    navigator->define("Count", [this](FakeObject::Call &call) {
        if (!(call.flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        call.result->vt = VT_I4;
        call.result->lVal = static_cast<LONG>(people.size());
        return S_OK;
    });
    navigator->define("GetFirstDocument", [this](FakeObject::Call &call) {
        return people.empty() ? returnNothing(call) : returnObject(call, entry(0));
    });
    navigator->define("GetNextDocument", [this](FakeObject::Call &call) {
        // The entry comes as Visual Basic passes an object variable: by reference.
        if (call.args.size() != 1 || call.args[0]->vt != (VT_BYREF | VT_DISPATCH) || !call.args[0]->ppdispVal ||
            !*call.args[0]->ppdispVal)
            return DISP_E_TYPEMISMATCH;
        auto *current = static_cast<FakeObject *>(*call.args[0]->ppdispVal);
        if (current->kind() != "NotesViewEntry")
            return DISP_E_TYPEMISMATCH;
        if (failing("GetNextDocument"))
            return FakeObject::raise(call, E_FAIL, L"Notes error: Entry is no longer in view");
        const std::size_t next = current->tag + 1;
        return next < people.size() ? returnObject(call, entry(next)) : returnNothing(call);
    });
    return navigator;
}

IDispatch *FakeNotesBook::entry(std::size_t position)
{
    auto *entry = FakeObject::create("NotesViewEntry");
    entry->tag = position;
    entry->define("Document", [this, position](FakeObject::Call &call) {
        if (!(call.flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        return returnObject(call, document(position));
    });
    return entry;
}

IDispatch *FakeNotesBook::document(std::size_t position)
{
    auto *document = FakeObject::create("NotesDocument");
    document->define("GetItemValue", [this, position](FakeObject::Call &call) {
        if (call.args.size() != 1 || !isText(call.args[0]))
            return DISP_E_TYPEMISMATCH;
        if (failing("GetItemValue"))
            return FakeObject::raise(call, E_FAIL, L"Notes error: Document has been deleted");
        const auto &items = people.at(position);
        // A missing item gives one empty text, as Notes does.
        const auto it = items.find(textOf(call.args[0]));
        const std::vector<Value> values = it == items.end() ? std::vector<Value>{text(L"")} : it->second;
        SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
        if (!array)
            return E_OUTOFMEMORY;
        for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
            const Value &value = values[static_cast<std::size_t>(i)];
            VARIANT element;
            VariantInit(&element);
            element.vt = value.type;
            if (value.type == VT_BSTR)
                element.bstrVal = SysAllocString(value.text.c_str());
            else
                element.dblVal = value.number; // VT_R8 and VT_DATE are both doubles
            SafeArrayPutElement(array, &i, &element); // copies
            VariantClear(&element);
        }
        call.result->vt = VT_ARRAY | VT_VARIANT;
        call.result->parray = array;
        return S_OK;
    });
    return document;
}
