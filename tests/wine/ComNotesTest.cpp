// The Notes classes of the COM layer against automation objects shaped like Notes' own,
// made in the test (FakeAutomation): every call goes through IDispatch as it would to the
// Notes client, and every object made must be released again.
#include "FakeAutomation.h"
#include "RecordingScanHost.h"
#include "cli/CliApp.h"
#include "notes/ClientNotes.h"
#include "notes/ContactScan.h"
#include "notes/NotesError.h"
#include "notes/NotesObjects.h"
#include "notes/SessionFactory.h"
#include "notes/SharedState.h"
#include "com/ComSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace notes;
using tarnwick::cli::CliApp;

namespace {

const std::string Rule(70, '-');
const std::string Fixtures = TARNWICK_FIXTURES;

class ComNotesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeObject::journal().clear();
        book.people = {FakeNotesBook::contact(L"Ann", L"Q", L"Carter", L"ann@example.com"),
                       FakeNotesBook::contact(L"Łukasz", L"", L"Kowalski", L"lukasz@example.pl"),
                       FakeNotesBook::contact(L"", L"", L"Lee", L"")};
        book.people[0][L"Age"] = {FakeNotesBook::number(30)};
        book.people[0][L"Birthday"] = {FakeNotesBook::date(44586.0)}; // 25 January 2022
        book.people[0][L"Phones"] = {FakeNotesBook::text(L"555-0100"), FakeNotesBook::text(L"555-0199")};
    }
    void TearDown() override { EXPECT_EQ(FakeObject::live(), 0) << "automation objects left unreleased"; }

    std::unique_ptr<Session> session() { return std::make_unique<com::ComSession>(com::ComDispatch::adopt(book.session())); }

    std::vector<std::string> calls(const std::string &prefix) const
    {
        std::vector<std::string> found;
        for (const auto &call : FakeObject::journal())
            if (call.starts_with(prefix))
                found.push_back(call);
        return found;
    }

    FakeNotesBook book;
};

std::string failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const NotesError &error) {
        return error.what();
    }
    ADD_FAILURE() << "no NotesError";
    return {};
}

TEST_F(ComNotesTest, WalksTheViewThroughIDispatch)
{
    NotesObjects n;
    n.session = session();
    n.database = n.session->GetDatabase("", "C:\\Notes\\Data\\names.nsf");
    EXPECT_EQ(n.database->Title(), "Contacts");
    n.view = n.database->GetView("People");
    n.navigator = n.view->CreateViewNav();
    EXPECT_EQ(n.navigator->Count(), 3);
    std::vector<std::string> names;
    for (n.entry = n.navigator->GetFirstDocument(); n.entry; n.entry = n.navigator->GetNextDocument(*n.entry)) {
        n.document = n.entry->Document();
        names.push_back(NotesObjects::firstValue(*n.document, "FirstName") + "|" +
                        NotesObjects::firstValue(*n.document, "LastName"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Ann|Carter", "Łukasz|Kowalski", "|Lee"}));
    n.release();

    // Arguments as Notes expects them: texts by value, the entry by reference; properties
    // read as properties, methods called as Visual Basic calls them.
    const auto method = std::to_string(DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    const auto property = std::to_string(DISPATCH_PROPERTYGET);
    EXPECT_EQ(calls("NotesSession."), std::vector<std::string>{"NotesSession.GetDatabase " + method + " VT_BSTR VT_BSTR"});
    EXPECT_EQ(calls("NotesDatabase.Title"), std::vector<std::string>{"NotesDatabase.Title " + property});
    EXPECT_EQ(calls("NotesViewNavigator.Count"), std::vector<std::string>{"NotesViewNavigator.Count " + property});
    EXPECT_EQ(calls("NotesViewNavigator.GetNextDocument"),
              std::vector<std::string>(3, "NotesViewNavigator.GetNextDocument " + method + " VT_BYREF|VT_DISPATCH"));
    EXPECT_EQ(calls("NotesViewEntry.Document").front(), "NotesViewEntry.Document " + property);
    EXPECT_EQ(FakeObject::live(), 0);
}

TEST_F(ComNotesTest, ItemValuesAsText)
{
    auto s = session();
    auto database = s->GetDatabase("", "C:\\Notes\\Data\\names.nsf");
    auto view = database->GetView("People");
    auto navigator = view->CreateViewNav();
    auto entry = navigator->GetFirstDocument();
    ASSERT_TRUE(entry);
    auto document = entry->Document();
    EXPECT_EQ(document->GetItemValue("Phones"), (std::vector<std::string>{"555-0100", "555-0199"}));
    EXPECT_EQ(document->GetItemValue("Age"), std::vector<std::string>{"30"});
    // A date as the platform writes dates; which way depends on the user's settings.
    const auto birthday = document->GetItemValue("Birthday");
    ASSERT_EQ(birthday.size(), 1u);
    EXPECT_NE(birthday[0].find("2022"), std::string::npos) << birthday[0];
    EXPECT_EQ(document->GetItemValue("NoSuchItem"), std::vector<std::string>{""});
}

TEST_F(ComNotesTest, NotesErrorsCarryTheMemberAndNotesText)
{
    auto s = session();
    auto message = failureOf([&] { s->GetDatabase("", "C:\\elsewhere.nsf"); });
    EXPECT_TRUE(message.starts_with("GetDatabase: ")) << message;
    EXPECT_NE(message.find("Notes error: File does not exist (C:\\elsewhere.nsf)"), std::string::npos) << message;
    EXPECT_NE(message.find("0x80020009"), std::string::npos) << message;

    auto database = s->GetDatabase("", "C:\\Notes\\Data\\names.nsf");
    message = failureOf([&] { database->GetView("Groups"); });
    EXPECT_EQ(message, "GetView(\"Groups\"): gave no object");

    book.fail("GetItemValue", 2);
    auto entry = database->GetView("People")->CreateViewNav()->GetFirstDocument();
    auto document = entry->Document();
    document->GetItemValue("FirstName");
    message = failureOf([&] { document->GetItemValue("LastName"); });
    EXPECT_TRUE(message.starts_with("GetItemValue: ")) << message;
    EXPECT_NE(message.find("Document has been deleted"), std::string::npos) << message;
}

TEST_F(ComNotesTest, EmptyViewHasNoFirstEntry)
{
    book.people.clear();
    auto navigator = session()->GetDatabase("", "C:\\Notes\\Data\\names.nsf")->GetView("People")->CreateViewNav();
    EXPECT_EQ(navigator->Count(), 0);
    EXPECT_EQ(navigator->GetFirstDocument(), nullptr);
}

// A factory that gives COM sessions over the fake book, as the client would.
struct FakeClientFactory final : SessionFactory
{
    explicit FakeClientFactory(FakeNotesBook &b)
        : book(b)
    {
    }
    std::unique_ptr<Session> CreateSession(std::string_view) override
    {
        return std::make_unique<com::ComSession>(com::ComDispatch::adopt(book.session()));
    }
    FakeNotesBook &book;
};

TEST_F(ComNotesTest, ScanOverTheComLayerReleasesEverything)
{
    FakeClientFactory factory(book);
    RecordingScanHost host;
    host.path = "C:\\Notes\\Data\\names.nsf";
    tarnwick::SharedState state;
    EXPECT_EQ(tarnwick::ScanLotusNotesContacts(host, factory, state), tarnwick::ScanEnding::Completed);
    EXPECT_EQ(host.log, (std::vector<std::string>{"Reading Lotus Notes Address Book...", "Initializing Lotus Notes...",
                                                  "Please wait...", "Source File : C:\\Notes\\Data\\names.nsf",
                                                  "Total Contacts Found : 3", "Listing Found Contacts...", Rule,
                                                  "1 : Ann Q Carter - ann@example.com",
                                                  "2 : Łukasz Kowalski - lukasz@example.pl", "3 :  Lee - "}));
    EXPECT_EQ(state.TotalContacts, 3);
    EXPECT_EQ(FakeObject::live(), 0);

    // A Notes error in the middle of the walk ends it, and still nothing is left over.
    book.fail("GetNextDocument", 2);
    host = RecordingScanHost{};
    host.path = "C:\\Notes\\Data\\names.nsf";
    EXPECT_EQ(tarnwick::ScanLotusNotesContacts(host, factory, state), tarnwick::ScanEnding::Completed);
    EXPECT_EQ(host.log.back(), "2 : Łukasz Kowalski - lukasz@example.pl");
    EXPECT_EQ(FakeObject::live(), 0);
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor" // as for FakeObject
#endif

// The fake book registered as a COM class under ProgIDs, for this process, as an installed
// Notes client registers its classes: CLSIDFromProgID and CoCreateInstance find it.
class RegisteredFakeNotes final : public IClassFactory
{
public:
    RegisteredFakeNotes(FakeNotesBook &book, std::vector<std::wstring> progIds)
        : m_book(book)
        , m_progIds(std::move(progIds))
    {
        com::ensureComInitialised();
        // The user's own classes, as a per-user install registers them; where COM does not
        // read those (Wine), the machine's.
        for (const auto &[root, prefix] : {std::pair{HKEY_CURRENT_USER, L"Software\\Classes\\"},
                                           std::pair{HKEY_CLASSES_ROOT, L""}}) {
            m_root = root;
            m_prefix = prefix;
            unregister(); // whatever an interrupted run left behind
            if (writeProgIds() && visible())
                break;
            unregister();
        }
        registered = CoRegisterClassObject(ClassId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    }
    ~RegisteredFakeNotes()
    {
        if (SUCCEEDED(registered))
            CoRevokeClassObject(m_cookie);
        unregister();
    }
    RegisteredFakeNotes(const RegisteredFakeNotes &) = delete;
    RegisteredFakeNotes &operator=(const RegisteredFakeNotes &) = delete;

    HRESULT registered = E_FAIL;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack; COM's references do not own it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        IDispatch *session = m_book.session();
        const HRESULT hr = session->QueryInterface(iid, object);
        session->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    // {6B1D3A52-8E0F-4C27-9A4D-3F2B7C5E9D10}: this test's own class.
    static constexpr CLSID ClassId = {0x6b1d3a52, 0x8e0f, 0x4c27, {0x9a, 0x4d, 0x3f, 0x2b, 0x7c, 0x5e, 0x9d, 0x10}};

    bool writeProgIds()
    {
        wchar_t clsid[64];
        StringFromGUID2(ClassId, clsid, 64);
        for (const auto &progId : m_progIds) {
            const std::wstring key = m_prefix + progId + L"\\CLSID";
            HKEY handle = nullptr;
            if (RegCreateKeyExW(m_root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
                return false;
            const LSTATUS set = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(clsid),
                                               static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t)));
            RegCloseKey(handle);
            if (set != ERROR_SUCCESS)
                return false;
        }
        return true;
    }
    bool visible() const
    {
        CLSID found{};
        for (const auto &progId : m_progIds)
            if (FAILED(CLSIDFromProgID(progId.c_str(), &found)) || !IsEqualCLSID(found, ClassId))
                return false;
        return true;
    }
    void unregister()
    {
        for (const auto &progId : m_progIds)
            RegDeleteTreeW(m_root, (m_prefix + progId).c_str());
    }

    FakeNotesBook &m_book;
    std::vector<std::wstring> m_progIds;
    HKEY m_root = HKEY_CURRENT_USER;
    std::wstring m_prefix;
    DWORD m_cookie = 0;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

TEST_F(ComNotesTest, ClientSessionByProgId)
{
    RegisteredFakeNotes registration(book, {L"Tarnwick.Test.NotesSession"});
    ASSERT_EQ(registration.registered, S_OK);
    auto s = client::createSession("Tarnwick.Test.NotesSession");
    EXPECT_EQ(s->GetDatabase("", "C:\\Notes\\Data\\names.nsf")->Title(), "Contacts");
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The whole way the program takes on a machine with Notes: the first ProgID is found,
// an .nsf goes to the client, a DXL export still to the DXL reader.
TEST_F(ComNotesTest, CommandLineScanThroughTheRegisteredClient)
{
    RegisteredFakeNotes registration(book, {L"Domino.NotesSession"});
    ASSERT_EQ(registration.registered, S_OK);
    {
        std::ostringstream out, err;
        EXPECT_EQ(CliApp(out, err).run({"scan", "C:\\Notes\\Data\\names.nsf"}), 0);
        EXPECT_TRUE(out.str().ends_with("Source File : C:\\Notes\\Data\\names.nsf\nTotal Contacts Found : 3\n"
                                        "Listing Found Contacts...\n" +
                                        Rule + "\n1 : Ann Q Carter - ann@example.com\n"
                                               "2 : Łukasz Kowalski - lukasz@example.pl\n3 :  Lee - \n"))
            << out.str();
        EXPECT_EQ(err.str(), "Korvane Software: Notes Address Book Scan Completed\n");
    }
    {
        std::ostringstream out, err;
        const auto dxl = Fixtures + "/sample-book.dxl";
        EXPECT_EQ(CliApp(out, err).run({"scan", dxl}), 0);
        auto expected = slurp(Fixtures + "/sample-book.scan.txt");
        expected.replace(expected.find("@BOOK@"), 6, dxl);
        EXPECT_EQ(out.str(), expected);
    }
    {
        // A book the client cannot open: with the first class there, not a Notes failure
        // but the empty-book ending.
        std::ostringstream out, err;
        EXPECT_EQ(CliApp(out, err).run({"scan", "C:\\Notes\\Data\\other.nsf"}), 3);
    }
    EXPECT_EQ(FakeObject::live(), 0);
}

} // namespace
