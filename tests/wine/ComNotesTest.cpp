// The Notes classes of the COM layer against the stand-in Notes objects of
// FakeAutomation: every call goes through IDispatch as it would to the Notes client, and
// every object made must be released again.
#include "FakeAutomation.h"
#include "RecordingHost.h"
#include "cli/CliApp.h"
#include "com/ComSession.h"
#include "notes/ClientNotes.h"
#include "notes/ContactScan.h"
#include "notes/NotesObjects.h"
#include "notes/SessionFactory.h"
#include "notes/SharedState.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

using namespace notes;

namespace {

const std::string Names = "C:\\Notes\\Data\\names.nsf";
const std::string Opening = "Reading Lotus Notes Address Book...\nInitializing Lotus Notes...\nPlease wait...\n";
const std::string Listing = "Source File : " + Names + "\nTotal Contacts Found : 3\nListing Found Contacts...\n" +
                            std::string(70, '-') + "\n1 : Ann Q Carter - ann@example.com\n" +
                            "2 : Łukasz Kowalski - lukasz@example.pl\n3 :  Lee - \n";

FakeNotesBook::Contact person(const wchar_t *first, const wchar_t *middle, const wchar_t *last, const wchar_t *mail)
{
    return {{L"FirstName", {{VT_BSTR, first}}}, {L"MiddleInitial", {{VT_BSTR, middle}}},
            {L"LastName", {{VT_BSTR, last}}}, {L"MailAddress", {{VT_BSTR, mail}}}};
}

class ComNotesTest : public ::testing::Test, public SessionFactory
{
protected:
    void SetUp() override
    {
        book.people = {person(L"Ann", L"Q", L"Carter", L"ann@example.com"),
                       person(L"Łukasz", L"", L"Kowalski", L"lukasz@example.pl"), person(L"", L"", L"Lee", L"")};
        book.people[0][L"Age"] = {{VT_R8, {}, 30}};
        book.people[0][L"Birthday"] = {{VT_DATE, {}, 44586.0}}; // 25 January 2022
        book.people[0][L"Phones"] = {{VT_BSTR, L"555-0100"}, {VT_BSTR, L"555-0199"}};
    }
    void TearDown() override { EXPECT_EQ(FakeObject::live, 0) << "automation objects left unreleased"; }

    // Sessions over the book, as the client gives them.
    std::unique_ptr<Session> CreateSession(std::string_view) override
    {
        return std::make_unique<com::ComSession>(com::ComDispatch::adopt(book.session()));
    }
    std::unique_ptr<ViewNavigator> people() { return CreateSession("")->GetDatabase("", Names)->GetView("People")->CreateViewNav(); }

    FakeNotesBook book;
};

TEST_F(ComNotesTest, ItemValuesAsText)
{
    auto document = people()->GetFirstDocument()->Document();
    EXPECT_EQ(document->GetItemValue("Phones"), (std::vector<std::string>{"555-0100", "555-0199"}));
    EXPECT_EQ(document->GetItemValue("Age"), std::vector<std::string>{"30"});
    // A date as the platform writes dates; which way depends on the user's settings.
    EXPECT_NE(document->GetItemValue("Birthday").at(0).find("2022"), std::string::npos);
    EXPECT_EQ(document->GetItemValue("NoSuchItem"), std::vector<std::string>{""});

    book.people.clear();
    EXPECT_EQ(people()->Count(), 0);
    EXPECT_EQ(people()->GetFirstDocument(), nullptr);
}

TEST_F(ComNotesTest, NotesErrorsCarryTheMemberAndNotesText)
{
    auto session = CreateSession("");
    auto message = failureOf([&] { session->GetDatabase("", "C:\\elsewhere.nsf"); });
    EXPECT_TRUE(message.starts_with("GetDatabase: ")) << message;
    EXPECT_NE(message.find("Notes error: File does not exist (C:\\elsewhere.nsf)"), std::string::npos) << message;
    EXPECT_NE(message.find("0x80020009"), std::string::npos) << message;

    auto database = session->GetDatabase("", Names);
    EXPECT_EQ(database->Title(), "Contacts");
    EXPECT_EQ(failureOf([&] { database->GetView("Groups"); }), "GetView(\"Groups\"): gave no object");

    book.fail("GetItemValue", 2);
    auto document = people()->GetFirstDocument()->Document();
    document->GetItemValue("FirstName");
    message = failureOf([&] { document->GetItemValue("LastName"); });
    EXPECT_TRUE(message.starts_with("GetItemValue: ")) << message;
    EXPECT_NE(message.find("Document has been deleted"), std::string::npos) << message;
}

TEST_F(ComNotesTest, ScanOverTheComLayer)
{
    for (const int failAt : {0, 2}) { // a Notes error in the middle of the walk ends it
        book.fail("GetNextDocument", failAt);
        RecordingHost host;
        host.book = Names;
        tarnwick::SharedState state;
        EXPECT_EQ(tarnwick::ScanLotusNotesContacts(host, *this, state), tarnwick::ScanEnding::Completed);
        std::string log;
        for (const auto &line : host.log)
            log += line + "\n";
        EXPECT_EQ(log, Opening + (failAt ? Listing.substr(0, Listing.find("3 :")) : Listing));
        EXPECT_EQ(FakeObject::live, 0);
    }
}

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor" // as for FakeObject
#endif

// The book as a COM class registered under ProgIDs for this process, as an installed
// Notes client registers its classes: CLSIDFromProgID and CoCreateInstance find it.
class RegisteredFakeNotes final : public IClassFactory
{
public:
    RegisteredFakeNotes(FakeNotesBook &book, const std::wstring &progId)
        : m_book(book)
        , m_key(progId)
    {
        com::ensureComInitialised();
        wchar_t clsid[64];
        StringFromGUID2(ClassId, clsid, 64);
        // The user's own classes, as a per-user install registers them; where COM does not
        // read those (Wine), the machine's.
        for (const auto &[root, prefix] : {std::pair{HKEY_CURRENT_USER, L"Software\\Classes\\"},
                                           std::pair{HKEY_CLASSES_ROOT, L""}}) {
            m_root = root;
            m_key = prefix + progId;
            RegDeleteTreeW(m_root, m_key.c_str()); // whatever an interrupted run left behind
            CLSID found{};
            if (RegSetKeyValueW(m_root, (m_key + L"\\CLSID").c_str(), nullptr, REG_SZ, clsid,
                                static_cast<DWORD>((wcslen(clsid) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
                SUCCEEDED(CLSIDFromProgID(progId.c_str(), &found)) && IsEqualCLSID(found, ClassId))
                break;
            RegDeleteTreeW(m_root, m_key.c_str());
        }
        registered = CoRegisterClassObject(ClassId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    }
    ~RegisteredFakeNotes()
    {
        if (SUCCEEDED(registered))
            CoRevokeClassObject(m_cookie);
        RegDeleteTreeW(m_root, m_key.c_str());
    }

    HRESULT registered = E_FAIL;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory);
        *object = known ? static_cast<IClassFactory *>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    // Lives on the test's stack; COM's references do not own it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, REFIID iid, void **object) override
    {
        IDispatch *session = m_book.session();
        const HRESULT hr = session->QueryInterface(iid, object);
        session->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    // {6B1D3A52-8E0F-4C27-9A4D-3F2B7C5E9D10}: this test's own class.
    static constexpr CLSID ClassId = {0x6b1d3a52, 0x8e0f, 0x4c27, {0x9a, 0x4d, 0x3f, 0x2b, 0x7c, 0x5e, 0x9d, 0x10}};
    FakeNotesBook &m_book;
    std::wstring m_key;
    HKEY m_root = HKEY_CURRENT_USER;
    DWORD m_cookie = 0;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

TEST_F(ComNotesTest, ClientSessionByProgId)
{
    RegisteredFakeNotes registration(book, L"Tarnwick.Test.NotesSession");
    ASSERT_EQ(registration.registered, S_OK);
    EXPECT_EQ(client::createSession("Tarnwick.Test.NotesSession")->GetDatabase("", Names)->Title(), "Contacts");
}

// The whole way the program takes on a machine with Notes: the first ProgID is found, an
// .nsf goes to the client, a DXL export still to the DXL reader, and a book the client
// cannot open is the empty-book ending, not a Notes failure.
TEST_F(ComNotesTest, CommandLineScanThroughTheRegisteredClient)
{
    RegisteredFakeNotes registration(book, L"Domino.NotesSession");
    ASSERT_EQ(registration.registered, S_OK);
    const std::string dxl = TARNWICK_FIXTURES "/sample-book.dxl";
    std::ifstream in(TARNWICK_FIXTURES "/sample-book.scan.txt", std::ios::binary);
    std::string dxlListing(std::istreambuf_iterator<char>(in), {});
    dxlListing.replace(dxlListing.find("@BOOK@"), 6, dxl);
    for (const auto &[path, status, listing] : {std::tuple{Names, 0, Listing}, std::tuple{dxl, 0, dxlListing},
                                                std::tuple{std::string("C:\\Notes\\Data\\other.nsf"), 3, std::string()}}) {
        std::ostringstream out, err;
        EXPECT_EQ(tarnwick::cli::CliApp(out, err).run({"scan", path}), status) << path;
        EXPECT_TRUE(out.str().ends_with(listing)) << out.str();
        EXPECT_EQ(err.str(), status ? err.str() : "Korvane Software: Notes Address Book Scan Completed\n");
    }
}

} // namespace
