#pragma once
// Automation objects made in the test and called through IDispatch exactly as the Notes
// client's are, and a Notes address book served by objects shaped like Notes' own.
#include "com/ComPlatform.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The message of the NotesError that `call` throws; fails the test when it throws none.
std::string failureOf(const std::function<void()> &call);

// COM objects are deleted by their own Release, never through an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// Members by name (case-insensitive, as automation names are). Counts the objects alive,
// so a test sees that the layer released every reference. One reference, the maker's.
class FakeObject final : public IDispatch
{
public:
    struct Call
    {
        WORD flags;
        std::vector<VARIANT *> args; // in their natural order, not last first
        VARIANT *result;
        EXCEPINFO *error;
    };
    using Member = std::function<HRESULT(Call &)>;

    FakeObject(std::string kind, std::vector<std::pair<std::wstring, Member>> members, std::size_t tag = 0);
    const std::string kind;
    const std::size_t tag; // an entry's position
    static inline int live = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override { return *info = nullptr, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *parameters, VARIANT *result,
                                     EXCEPINFO *error, UINT *) override;

private:
    ~FakeObject() { --live; }
    std::vector<std::pair<std::wstring, Member>> m_members;
    ULONG m_references = 1;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// NotesSession.GetDatabase, NotesDatabase.Title and GetView, NotesView.CreateViewNav,
// NotesViewNavigator.Count, GetFirstDocument and GetNextDocument (the entry by reference),
// NotesViewEntry.Document and NotesDocument.GetItemValue (an array of VARIANTs).
// Properties answer only when read as properties.
struct FakeNotesBook
{
    struct Value
    {
        VARTYPE type; // VT_BSTR, or VT_R8 / VT_DATE in `number`
        std::wstring text;
        double number = 0;
    };
    using Contact = std::map<std::wstring, std::vector<Value>>;

    std::wstring path = L"C:\\Notes\\Data\\names.nsf";
    std::vector<Contact> people;
    // From now on, the n-th call (1-based) of `member` raises a Notes error.
    void fail(const std::string &member, int nth) { m_failAt = {member, nth}, m_calls = 0; }

    // A new NotesSession over this book, which must outlive it.
    IDispatch *session();

private:
    std::pair<std::string, int> m_failAt;
    int m_calls = 0;
    bool failing(const std::string &member) { return m_failAt.first == member && ++m_calls == m_failAt.second; }
    IDispatch *database();
    IDispatch *navigator();
    IDispatch *entry(std::size_t position);
    IDispatch *document(std::size_t position);
};
