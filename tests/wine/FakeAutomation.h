#pragma once

#include "com/ComPlatform.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// COM objects are deleted by their own Release, never through an interface pointer, so
// the interfaces' lack of a virtual destructor is as COM means it.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// An automation object made in the test, called through IDispatch exactly as a Notes class
// is: members by name (case-insensitive, as automation names are), arguments last first.
// Counts the objects alive, so a test sees that the layer released every reference.
class FakeObject final : public IDispatch
{
public:
    struct Call
    {
        WORD flags;
        // In their natural order; by-reference arguments as passed.
        std::vector<VARIANT *> args;
        VARIANT *result;
        EXCEPINFO *error;
    };
    using Member = std::function<HRESULT(Call &)>;

    // One reference, the caller's.
    static FakeObject *create(std::string kind);
    void define(const std::string &member, Member handler);

    const std::string &kind() const { return m_kind; }
    // What the fake's maker wants to find again: an entry's position, say.
    std::size_t tag = 0;
    static int live();
    // Every call made on any fake: "Kind.Member flags VT...", in order.
    static std::vector<std::string> &journal();

    // Raises an error as an automation object does: DISP_E_EXCEPTION with a description.
    static HRESULT raise(Call &call, HRESULT code, const std::wstring &description);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                                     VARIANT *result, EXCEPINFO *error, UINT *badArgument) override;

private:
    explicit FakeObject(std::string kind);
    virtual ~FakeObject();

    std::string m_kind;
    std::vector<std::pair<std::wstring, Member>> m_members;
    ULONG m_references = 1;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// A Notes address book served by fake automation objects shaped like Notes' own:
// NotesSession.GetDatabase, NotesDatabase.Title and GetView, NotesView.CreateViewNav,
// NotesViewNavigator.Count, GetFirstDocument and GetNextDocument (entry by reference),
// NotesViewEntry.Document and NotesDocument.GetItemValue (an array of VARIANTs).
struct FakeNotesBook
{
    // Item values of one contact; each value a VARIANT-able text, number or date.
    struct Value
    {
        VARTYPE type = VT_BSTR;
        std::wstring text;
        double number = 0;
    };
    using Contact = std::map<std::wstring, std::vector<Value>>;

    std::wstring path = L"C:\\Notes\\Data\\names.nsf";
    std::wstring title = L"Contacts";
    std::vector<Contact> people;
    // From now on, the n-th call (1-based) of "GetItemValue" and so on fails with a Notes
    // error.
    void fail(const std::string &member, int nth)
    {
        m_failAt[member] = nth;
        m_calls[member] = 0;
    }

    static Value text(std::wstring text) { return {VT_BSTR, std::move(text), 0}; }
    static Value number(double number) { return {VT_R8, {}, number}; }
    static Value date(double oleDate) { return {VT_DATE, {}, oleDate}; }
    static Contact contact(const std::wstring &first, const std::wstring &middle, const std::wstring &last,
                           const std::wstring &mail);

    // A new NotesSession over this book (one reference, the caller's). The book must
    // outlive every object made from it.
    IDispatch *session();

private:
    std::map<std::string, int> m_failAt;
    std::map<std::string, int> m_calls;
    bool failing(const std::string &member);
    IDispatch *database();
    IDispatch *view();
    IDispatch *navigator();
    IDispatch *entry(std::size_t position);
    IDispatch *document(std::size_t position);
};
