#include "FakeAutomation.h"

#include "notes/NotesError.h"

#include <gtest/gtest.h>

std::string failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const notes::NotesError &error) {
        return error.what();
    }
    ADD_FAILURE() << "no NotesError";
    return {};
}

FakeObject::FakeObject(std::string kind_, std::vector<std::pair<std::wstring, Member>> members, std::size_t tag_)
    : kind(std::move(kind_))
    , tag(tag_)
    , m_members(std::move(members))
{
    ++live;
}

HRESULT FakeObject::QueryInterface(REFIID iid, void **object)
{
    const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    *object = known ? static_cast<IDispatch *>(this) : nullptr;
    return known ? (AddRef(), S_OK) : E_NOINTERFACE;
}

ULONG FakeObject::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FakeObject::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    ids[0] = DISPID_UNKNOWN;
    for (std::size_t i = 0; count == 1 && i < m_members.size(); ++i)
        if (_wcsicmp(m_members[i].first.c_str(), names[0]) == 0)
            ids[0] = static_cast<DISPID>(i + 1);
    return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT FakeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *parameters, VARIANT *result,
                           EXCEPINFO *error, UINT *)
{
    if (id < 1 || static_cast<std::size_t>(id) > m_members.size())
        return DISP_E_MEMBERNOTFOUND;
    Call call{flags, {}, result, error};
    for (UINT i = parameters->cArgs; i-- > 0;)
        call.args.push_back(&parameters->rgvarg[i]);
    if (result)
        VariantInit(result);
    return m_members[static_cast<std::size_t>(id - 1)].second(call);
}

namespace {

// The result owns the maker's reference; no object is Notes' Nothing.
HRESULT give(FakeObject::Call &call, IDispatch *object)
{
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = object;
    return S_OK;
}

// Raised as an automation object raises an error: DISP_E_EXCEPTION with a description.
HRESULT raise(FakeObject::Call &call, const std::wstring &description)
{
    *call.error = EXCEPINFO{};
    call.error->bstrSource = SysAllocString(L"Fake Notes");
    call.error->bstrDescription = SysAllocString(description.c_str());
    call.error->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}

std::wstring textArgument(const FakeObject::Call &call, std::size_t i)
{
    return std::wstring(call.args[i]->bstrVal, SysStringLen(call.args[i]->bstrVal));
}

bool takesTexts(const FakeObject::Call &call, std::size_t count)
{
    bool texts = call.args.size() == count && (call.flags & DISPATCH_METHOD) != 0;
    for (const VARIANT *arg : call.args)
        texts = texts && arg->vt == VT_BSTR;
    return texts;
}

bool property(const FakeObject::Call &call)
{
    return call.flags == DISPATCH_PROPERTYGET && call.args.empty();
}

} // namespace

IDispatch *FakeNotesBook::session()
{
    return new FakeObject("NotesSession", {{L"GetDatabase", [this](FakeObject::Call &call) {
        if (!takesTexts(call, 2))
            return DISP_E_TYPEMISMATCH;
        if (failing("GetDatabase") || !textArgument(call, 0).empty() || textArgument(call, 1) != path)
            return raise(call, L"Notes error: File does not exist (" + textArgument(call, 1) + L")");
        return give(call, database());
    }}});
}

IDispatch *FakeNotesBook::database()
{
    return new FakeObject("NotesDatabase", {
        {L"Title", [](FakeObject::Call &call) {
            if (!property(call))
                return DISP_E_MEMBERNOTFOUND;
            call.result->vt = VT_BSTR;
            call.result->bstrVal = SysAllocString(L"Contacts");
            return S_OK;
        }},
        {L"GetView", [this](FakeObject::Call &call) {
            if (!takesTexts(call, 1))
                return DISP_E_TYPEMISMATCH;
            IDispatch *view = new FakeObject("NotesView", {{L"CreateViewNav", [this](FakeObject::Call &nav) {
                return nav.args.empty() ? give(nav, navigator()) : DISP_E_BADPARAMCOUNT;
            }}});
            if (textArgument(call, 0) == L"People")
                return give(call, view);
            view->Release();
            return give(call, nullptr);
        }},
    });
}

IDispatch *FakeNotesBook::navigator()
{
    return new FakeObject("NotesViewNavigator", {
        {L"Count", [this](FakeObject::Call &call) {
            if (!property(call))
                return DISP_E_MEMBERNOTFOUND;
            call.result->vt = VT_I4;
            call.result->lVal = static_cast<LONG>(people.size());
            return S_OK;
        }},
        {L"GetFirstDocument", [this](FakeObject::Call &call) {
            return give(call, people.empty() ? nullptr : entry(0));
        }},
        {L"GetNextDocument", [this](FakeObject::Call &call) {
            // As Visual Basic passes an object variable: by reference.
            if (call.args.size() != 1 || call.args[0]->vt != (VT_BYREF | VT_DISPATCH) || !*call.args[0]->ppdispVal)
                return DISP_E_TYPEMISMATCH;
            const auto *current = static_cast<FakeObject *>(*call.args[0]->ppdispVal);
            if (current->kind != "NotesViewEntry")
                return DISP_E_TYPEMISMATCH;
            if (failing("GetNextDocument"))
                return raise(call, L"Notes error: Entry is no longer in view");
            return give(call, current->tag + 1 < people.size() ? entry(current->tag + 1) : nullptr);
        }},
    });
}

IDispatch *FakeNotesBook::entry(std::size_t position)
{
    return new FakeObject("NotesViewEntry", {{L"Document", [this, position](FakeObject::Call &call) {
        return property(call) ? give(call, document(position)) : DISP_E_MEMBERNOTFOUND;
    }}}, position);
}

IDispatch *FakeNotesBook::document(std::size_t position)
{
    return new FakeObject("NotesDocument", {{L"GetItemValue", [this, position](FakeObject::Call &call) {
        if (!takesTexts(call, 1))
            return DISP_E_TYPEMISMATCH;
        if (failing("GetItemValue"))
            return raise(call, L"Notes error: Document has been deleted");
        // A missing item gives one empty text, as Notes does.
        const auto it = people.at(position).find(textArgument(call, 0));
        const auto values = it == people.at(position).end() ? std::vector<Value>{{VT_BSTR, L""}} : it->second;
        SAFEARRAY *array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
        for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
            const Value &value = values[static_cast<std::size_t>(i)];
            VARIANT element{};
            element.vt = value.type;
            if (value.type == VT_BSTR)
                element.bstrVal = SysAllocString(value.text.c_str());
            else
                element.dblVal = value.number; // VT_R8 and VT_DATE alike
            SafeArrayPutElement(array, &i, &element); // copies
            VariantClear(&element);
        }
        call.result->vt = VT_ARRAY | VT_VARIANT;
        call.result->parray = array;
        return S_OK;
    }}});
}
