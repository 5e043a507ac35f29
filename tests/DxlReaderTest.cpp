#include "notes/NotesObjects.h"
#include "dxl/DxlSession.h"
#include "dxl/DxlReadAhead.h"
#include "dxl/DxlValueText.h"

#include <gtest/gtest.h>

#include "Fixtures.h"

#include <chrono>
#include <map>
#include <cstdio>
#include <system_error>
#include <thread>

using notes::NotesError;
using notes::NotesObjects;
namespace dxl = notes::dxl;
namespace fs = std::filesystem;

namespace {

const char *Head = "<?xml version='1.0' encoding='utf-8'?>\n"
                   "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n"
                   "<database xmlns='http://www.lotus.com/dxl' version='12.0'\n"
                   " replicaid='85258A1C0049F2B1' title='Staff &amp; Friends'>\n";

std::string person(const std::string &first, const std::string &last, const std::string &more = {})
{
    return "<document form='Person'>\n<item name='Type'><text>Person</text></item>\n"
           "<item name='FirstName'><text>" +
           first + "</text></item>\n<item name='LastName'><text>" + last + "</text></item>\n" + more +
           "</document>\n";
}

// UTF-8 as UTF-16 with a byte-order mark, surrogate pairs beyond the first plane.
std::string utf16(const std::string &utf8, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i++]);
        char32_t cp = c >= 0xF0 ? c & 0x07 : c >= 0xE0 ? c & 0x0F : c >= 0xC0 ? c & 0x1F : c;
        for (; i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80; ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}

class DxlReaderTest : public ::testing::Test
{
protected:
    std::string write(const std::string &bytes, const std::string &name = "book.dxl") { return dir.write(name, bytes); }

    // The People view's documents, in view order.
    std::vector<std::unique_ptr<notes::Document>> people(const std::string &path)
    {
        NotesObjects n;
        n.session = std::make_unique<dxl::DxlSession>();
        n.database = n.session->GetDatabase("", path);
        n.view = n.database->GetView("People");
        n.navigator = n.view->CreateViewNav();
        std::vector<std::unique_ptr<notes::Document>> out;
        for (n.entry = n.navigator->GetFirstDocument(); n.entry; n.entry = n.navigator->GetNextDocument(*n.entry))
            out.push_back(n.entry->Document());
        EXPECT_EQ(static_cast<std::size_t>(n.navigator->Count()), out.size());
        return out;
    }

    std::vector<std::string> names(const std::string &path)
    {
        std::vector<std::string> out;
        for (auto &doc : people(path))
            out.push_back(NotesObjects::firstValue(*doc, "FirstName") + " " + NotesObjects::firstValue(*doc, "LastName"));
        return out;
    }

    TempFolder dir{"dxl"};
};

TEST_F(DxlReaderTest, ValuesAsNotesWritesThem)
{
    using V = std::vector<std::string>;
    const std::tuple<const char *, const char *, V> items[] = {
        {"MailAddress", "<item name='MailAddress'\n  summary='true'><text>ann@acme.example</text></item>",
         {"ann@acme.example"}},
        {"Empty", "<item name='Empty'><text/></item>", {""}},
        {"Missing", "", {""}},
        {"FullName", "<item name='FullName' names='true'><textlist><text>Ann Lee/Acme</text><text>Ann Lee</text>"
                     "</textlist></item>", {"Ann Lee/Acme", "Ann Lee"}},
        {"Street", "<item name='Street'><text>1 Main St<break/>Suite 2</text></item>", {"1 Main St\nSuite 2"}},
        {"Comment", "<item name='Comment'><richtext>\n<pardef id='1'/>\n<par def='1'>First, <run><font style='bold'/>"
                    "bold</run></par>\n<par def='1'>Second &quot;line&quot;<break/>broken</par>\n<par def='1'>"
                    "<picture><gif>R0lGOD==</gif></picture></par></richtext></item>",
         {"First, bold\nSecond \"line\"\nbroken\n"}},
        {"Certificate", "<item name='Certificate'><rawitemdata type='1'>AAEC</rawitemdata></item>", {""}},
        {"Children", "<item name='Children'><number>30</number></item>", {"30"}},
        {"Ratio", "<item name='Ratio'><number>2.50</number></item>", {"2.5"}},
        {"Scores", "<item name='Scores'><numberlist><number>-0.125</number><number>1e3</number></numberlist></item>",
         {"-0.125", "1000"}},
        {"Birthday", "<item name='Birthday'><datetime>20220125</datetime></item>", {"2022-01-25"}},
        {"Met", "<item name='Met'><datetime dst='true'>20220125T202600,00-05</datetime></item>",
         {"2022-01-25 20:26:00"}},
        {"Alarm", "<item name='Alarm'><datetime>T202600,00</datetime></item>", {"20:26:00"}},
        {"Trip", "<item name='Trip'><datetimepair><datetime>20230301</datetime><datetime>20230310</datetime>"
                 "</datetimepair></item>", {"2023-03-01"}},
        {"JobTitle", "<item name='jobtitle'><text>Head of &quot;Special&quot; Projects</text></item>",
         {"Head of \"Special\" Projects"}},
        {"COMPANYNAME", "<item name='CompanyName'><text>Acme, Inc.</text></item>"
                        "<item name='CompanyName'><text>Second of the name</text></item>", {"Acme, Inc."}},
        {"Spaces", "<item name='Spaces'><text>  padded  </text></item>", {"  padded  "}},
    };
    std::string xml;
    for (const auto &[name, item, value] : items)
        xml += std::string(item) + "\n";
    const auto docs = people(write(Head + person("Ann", "Lee", xml) + "</database>\n"));
    ASSERT_EQ(docs.size(), 1u);
    for (const auto &[name, item, value] : items)
        EXPECT_EQ(docs[0]->GetItemValue(name), value) << name;
}

TEST_F(DxlReaderTest, PeopleViewSelectsAndSorts)
{
    const std::string body =
        person("Zed", "lee") + person("Amy", "Lee") +
        "<document form='Group'><item name='Type'><text>Group</text></item>"
        "<item name='ListName'><text>Everyone</text></item></document>\n" +
        "<document form='Person' conflict='true'><item name='Type'><text>Person</text></item>"
        "<item name='LastName'><text>Conflicted</text></item></document>\n" +
        person("Con", "Flict", "<item name='$Conflict'><text/></item>") +
        "<note class='document'><item name='Form'><text>Person</text></item>"
        "<item name='FirstName'><text>Nora</text></item><item name='LastName'><text>Adams</text></item></note>\n"
        "<note class='form'><item name='Form'><text>Person</text></item></note>\n" +
        person("Bob", "Lee") + person("Bob", "Lee", "<item name='MiddleInitial'><text>A</text></item>") +
        person("Bob", "Lee", "<item name='MailAddress'><text>second@tie</text></item>") +
        person("Eve", "Leeds") + person("Émile", "Lee") + person("", "Lee") +
        // Type decides; the form only where there is no Type item.
        "<document form='Person'><item name='Type'><text>Group</text></item>"
        "<item name='FirstName'><text>Grp</text></item></document>\n"
        "<document form='Memo'><item name='Type'><text>Person</text></item>"
        "<item name='FirstName'><text>Typed</text></item><item name='LastName'><text>Adams</text></item></document>\n"
        "<document form='Person'><item name='FirstName'><text>Formed</text></item>"
        "<item name='LastName'><text>Adams</text></item></document>\n";
    const auto path = write(Head + body + "</database>\n");
    EXPECT_EQ(names(path), (std::vector<std::string>{"Formed Adams", "Nora Adams", "Typed Adams", " Lee", "Amy Lee", "Bob Lee", "Bob Lee",
                                                     "Bob Lee", "Zed lee", "Émile Lee", "Eve Leeds"}));
    // Ties keep the file's order; an initial sorts after none.
    const auto docs = people(path);
    EXPECT_EQ(NotesObjects::firstValue(*docs[5], "MiddleInitial"), "");
    EXPECT_EQ(NotesObjects::firstValue(*docs[6], "MailAddress"), "second@tie");
    EXPECT_EQ(NotesObjects::firstValue(*docs[7], "MiddleInitial"), "A");
}

TEST_F(DxlReaderTest, TitleNamespaceAndEncodings)
{
    dxl::DxlSession session;
    EXPECT_EQ(session.GetDatabase("", write(Head + std::string("</database>")))->Title(), "Staff & Friends");

    // No namespace, double quotes, no XML declaration.
    const auto plain = write("<database title=\"Plain\">" + person("Al", "Bo") + "</database>", "plain.dxl");
    EXPECT_EQ(session.GetDatabase("", plain)->Title(), "Plain");
    EXPECT_EQ(names(plain), std::vector<std::string>{"Al Bo"});

    // UTF-16 in either byte order, as some tools re-save exports, the usual DOCTYPE line
    // included: the index pass reads past it in two-byte units.
    const std::string utf8 = "<?xml version='1.0' encoding='utf-16'?>\n"
                             "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n<database title='Wide'>" +
                             person("Zoë", "Ólafsson") + person("太郎", "山田") + person("\U0001D518", "\U0001F600") +
                             "</database>";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "UTF-16BE" : "UTF-16LE");
        const auto wide = write(utf16(utf8, bigEndian), "wide.dxl");
        EXPECT_EQ(session.GetDatabase("", wide)->Title(), "Wide");
        EXPECT_EQ(names(wide), (std::vector<std::string>{"Zoë Ólafsson", "太郎 山田", "\U0001D518 \U0001F600"}));
    }
}

// Files that are not DXL databases, hostile ones and ones the two passes could read
// differently are refused before anything is listed, and never read what lies elsewhere.
TEST_F(DxlReaderTest, RefusesWhatItCannotReadWhole)
{
    const auto secret = write("TOP-SECRET", "secret.txt");
    const std::string prolog = "<?xml version='1.0' encoding='utf-8'?>\n";
    const std::string open = "<database xmlns='http://www.lotus.com/dxl' title='T'>\n";
    const std::string external = "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n";
    std::string bomb = "<?xml version='1.0'?>\n<!DOCTYPE database [\n<!ENTITY a0 'ha'>\n";
    for (int i = 1; i < 30; ++i)
        bomb += "<!ENTITY a" + std::to_string(i) + " '&a" + std::to_string(i - 1) + ";&a" + std::to_string(i - 1) + ";'>\n";
    const std::pair<std::string, const char *> cases[] = {
        {(dir.path / "missing.dxl").string(), ""},
        {dir.path.string(), ""},
        {write(std::string("\x1A\0\0\0\x04\x00", 6) + std::string(4096, '\0'), "n.nsf"), ""},
        {write("", "empty.dxl"), ""},
        {write("<html><body/></html>", "page.xml"), ""},
        {write("<database xmlns='urn:other'/>", "other.xml"), ""},
        {write(bomb + "]>\n<database title='&a29;'>" + person("Ann", "Lee") + "</database>", "bomb.dxl"), ""},
        {write(prolog + "<!DOCTYPE database [\n<!ENTITY s SYSTEM 'file://" + secret + "'>\n]>\n<database title='&s;'>" +
                   person("&s;", "Lee") + "</database>", "ext.dxl"), ""},
        {write(prolog + "<!DOCTYPE database [<!ENTITY % p SYSTEM '" + secret + "'> %p;]>\n<database/>", "p.dxl"), ""},
        {write(prolog + external + open + person("Ann", "Lee") + person("Bo&nbsp;b", "Ray") + person("Cy", "Zu") +
                   "</database>", "u1.dxl"), "undefined entity (line "},
        {write(prolog + external + open + person("Ann", "Lee") +
                   "<document form='Per&x;son'><item name='LastName'><text>Ray</text></item></document></database>",
               "u2.dxl"), "undefined entity (line "},
        {write(prolog + "<!DOCTYPE database SYSTEM 'd.dtd' [<!ATTLIST item name CDATA 'LastName'>]>\n" + open +
                   "<document form='Person'><item><text>Aardvark</text></item></document>" + person("Ann", "Lee") +
                   "</database>", "d1.dxl"), "DTD"},
        {write(prolog + "<!DOCTYPE database [ ]>\n" + open + person("Ann", "Lee") + "</database>", "d2.dxl"), "DTD"},
    };
    dxl::DxlSession session;
    for (const auto &[path, reason] : cases) {
        SCOPED_TRACE(path);
        try {
            session.GetDatabase("", path)->GetView("People");
            ADD_FAILURE() << "the book was taken for readable";
        } catch (const NotesError &error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).find("TOP-SECRET"), std::string::npos);
        }
    }
    EXPECT_THROW(session.GetDatabase("server/Acme", write(Head + std::string("</database>"))), NotesError);
    EXPECT_FALSE(dxl::DxlSession::isDxlFile((dir.path / "missing.dxl").string()));
    EXPECT_FALSE(dxl::DxlSession::isDxlFile(write(std::string("\x1A\0", 2), "b.nsf")));
    EXPECT_TRUE(dxl::DxlSession::isDxlFile(write("\xEF\xBB\xBF  <database/>", "bom.dxl")));
    // The usual DOCTYPE line with the predefined and numeric references reads as before.
    const auto good = write(prolog + external + open + person("A&amp;B &#233;&lt;", "Lee") + "</database>");
    EXPECT_EQ(names(good), std::vector<std::string>{"A&B é< Lee"});
}

// Person documents of every size an address book holds, photos included, up to the
// largest one read at all, each read whole and in view order however it compares with
// what reading ahead may hold; one byte more is refused. Other documents may be larger.
TEST_F(DxlReaderTest, DocumentsOfEverySize)
{
    constexpr std::size_t MaxDocument = 64u << 20;
    static_assert(MaxDocument > dxl::DxlReadAhead::MaxBytesAhead);
    const auto withPhoto = [](std::size_t i, std::size_t bytes) {
        return person("P" + std::to_string(i), "L" + std::to_string(i),
                      "<item name='Photo'><text>" + std::string(bytes, 'A') + "</text></item>\n");
    };
    // The last photo makes its document, from "<document" to "</document>", the largest read.
    std::vector<std::size_t> photos = {0, 100u << 10, 3u << 20, 0, 10u << 20, 1u << 10, 5u << 20, 7u << 20, 0};
    photos.push_back(MaxDocument - (withPhoto(photos.size(), 0).size() - 1));
    {
        std::ofstream book(dir.path / "book.dxl", std::ios::binary);
        book << Head << "<document form='Memo'><item name='Body'><text>" << std::string(65u << 20, 'M')
             << "</text></item></document>\n";
        for (std::size_t i = 0; i < photos.size(); ++i)
            book << withPhoto(i, photos[i]);
        book << "</database>\n";
    }
    const auto docs = people(dir / "book.dxl");
    ASSERT_EQ(docs.size(), photos.size());
    for (std::size_t i = 0; i < docs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(NotesObjects::firstValue(*docs[i], "FirstName"), "P" + std::to_string(i));
        const auto photo = NotesObjects::firstValue(*docs[i], "Photo");
        EXPECT_EQ(photo.size(), photos[i]);
        EXPECT_EQ(photo.find_first_not_of('A'), std::string::npos);
    }
    try {
        people(write(Head + withPhoto(0, photos.back() + 1) + "</database>\n", "larger.dxl"));
        ADD_FAILURE() << "a person larger than any address-book entry was read";
    } catch (const NotesError &error) {
        EXPECT_NE(std::string(error.what()).find("larger than any address-book entry can be (64 MiB)"),
                  std::string::npos) << error.what();
    }
}

// Reading ahead is a speed-up only: without threads the walk goes on in the calling one.
TEST_F(DxlReaderTest, ReadAheadWithoutThreads)
{
    std::string body;
    std::vector<std::string> expected;
    for (int i = 0; i < 600; ++i) {
        char last[8];
        std::snprintf(last, sizeof last, "L%04d", i);
        body += person("P", last);
        expected.push_back(std::string("P ") + last);
    }
    const auto path = write(Head + body + "</database>\n");
    for (const int refused : {1, 2, 0}) { // the first thread, the second, every one
        SCOPED_TRACE(refused);
        int started = 0;
        dxl::DxlReadAhead::setThreadStarter([&](std::function<void()> work) {
            if (++started == refused || refused == 0)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(work));
        });
        EXPECT_EQ(names(path), expected);
        EXPECT_GE(started, 1);
    }
    dxl::DxlReadAhead::setThreadStarter(nullptr);
}

// A slow walker over large documents: what is parsed ahead stays within its byte bound.
TEST_F(DxlReaderTest, ReadAheadIsBoundedByBytes)
{
    const std::string big(1u << 20, 'x');
    std::string book = Head;
    std::vector<dxl::DxlByteRange> ranges;
    for (int i = 0; i < 16; ++i) {
        const auto doc = person("P" + std::to_string(i), "L", "<item name='Bulk'><text>" + big + "</text></item>");
        ranges.push_back({book.size(), doc.size()});
        book += doc;
    }
    const auto path = write(book + "</database>\n");
    auto ahead = dxl::DxlReadAhead::start(path, "UTF-8", ranges, 2);
    ASSERT_TRUE(ahead);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the workers run as far as they may
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ahead->take().firstValue("firstname"), "P" + std::to_string(i));
    EXPECT_LE(ahead->peakBytesAhead(), dxl::DxlReadAhead::MaxBytesAhead);
    EXPECT_GT(ahead->peakBytesAhead(), 0u);
}

TEST_F(DxlReaderTest, WalksServedAheadMatchReadsOnTheSpot)
{
    // More documents than the read-ahead window, in reverse order of their names.
    auto firstName = [](int i) { return std::string("P").append(std::to_string(i)); };
    std::string body;
    for (int i = 999; i >= 0; --i) {
        char last[8];
        std::snprintf(last, sizeof last, "L%04d", i);
        body += person(firstName(i), last);
    }
    const auto path = write(Head + body + "</database>\n");
    dxl::DxlSession session;
    auto db = session.GetDatabase("", path);
    auto view = db->GetView("People");
    auto walker = view->CreateViewNav();
    auto other = view->CreateViewNav();

    auto first = [](std::unique_ptr<notes::ViewEntry> &entry) {
        return NotesObjects::firstValue(*entry->Document(), "FirstName");
    };
    auto entry = walker->GetFirstDocument();
    EXPECT_EQ(first(entry), "P0");
    EXPECT_EQ(first(entry), "P0"); // the same entry again: read on the spot
    auto otherEntry = other->GetFirstDocument();
    for (int i = 1; i < 1000; ++i) {
        entry = walker->GetNextDocument(*entry);
        ASSERT_TRUE(entry);
        ASSERT_EQ(first(entry), firstName(i));
        if (i % 3 == 0) { // a second walk, interleaved and behind
            otherEntry = other->GetNextDocument(*otherEntry);
            ASSERT_EQ(first(otherEntry), firstName(i / 3));
        }
    }
    EXPECT_FALSE(walker->GetNextDocument(*entry));
    view.reset();

    // The file cut short after it was indexed: a read fails as a Notes failure, no hang.
    auto cut = db->GetView("People");
    fs::resize_file(path, fs::file_size(path) / 2);
    auto nav = cut->CreateViewNav();
    auto e = nav->GetFirstDocument();
    EXPECT_THROW(
        {
            for (; e; e = nav->GetNextDocument(*e))
                e->Document();
        },
        NotesError);
}

// Split across the cores, a book reads as one pass from its start: decoys of a document
// start where a byte scan finds them, documents across every split point, the first fault
// with its line wherever it lies; the index serves an item only where it holds it whole,
// and only while the file is the one indexed.
TEST_F(DxlReaderTest, SplitBooksReadAsOnePass)
{
    // Between any two documents, and inside each, a document's start where only a parse can
    // tell that it is none: wherever a split point falls, the next start a byte scan finds
    // is almost surely one of these.
    const std::string decoy = "<document form='Person'><item name='LastName'><text>Decoy</text></item></document>";
    const std::string decoys = "<!-- " + decoy + " -->\n<![CDATA[" + decoy + "]]>\n<?keep <document form='Person'> ?>\n"
                               "<documentation>" + decoy + "</documentation>\n<notebook/><!-- <document -->";
    constexpr int Count = 1500;
    // Without the decoys a split point meets a real document: the faults then lie in the
    // pieces after it.
    auto book = [&](const std::map<int, std::string> &faults, bool decoyed = false) {
        std::string body;
        for (int i = 0; i < Count; ++i) {
            char last[8];
            std::snprintf(last, sizeof last, "L%04d", Count - i);
            const auto fault = faults.find(i);
            body += (decoyed ? decoys : std::string()) +
                    person("P" + std::to_string(i) + (fault == faults.end() ? "" : fault->second), last,
                           decoyed ? "<!-- <document form='Person'> -->\n" : "");
        }
        return Head + body + "</database>\n";
    };
    std::vector<std::string> expected;
    for (int i = Count - 1; i >= 0; --i) {
        char last[8];
        std::snprintf(last, sizeof last, "L%04d", Count - i);
        expected.push_back("P" + std::to_string(i) + " " + last);
    }
    const auto whole = book({}, true);
    ASSERT_GT(whole.size(), 512u << 10);
    EXPECT_EQ(names(write(whole)), expected);
    EXPECT_EQ(names(write(book({}))), expected);

    const std::tuple<std::map<int, std::string>, int, const char *> faulty[] = {
        {{{1100, "&nbsp;"}}, 1100, "undefined entity"},
        {{{1300, "</oops>"}}, 1300, "mismatched tag"},
        {{{200, "&x;"}, {1300, "</oops>"}}, 200, "undefined entity"},
        {{{Count - 1, "<text a='<document '/>"}}, Count - 1, "not well-formed (invalid token)"},
    };
    dxl::DxlSession session;
    for (const auto &[faults, first, reason] : faulty) {
        SCOPED_TRACE(first);
        const auto bytes = book(faults);
        const auto at = bytes.find("P" + std::to_string(first) + faults.at(first).substr(0, 2));
        const auto line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
        try {
            session.GetDatabase("", write(bytes, "faulty.dxl"))->GetView("People");
            ADD_FAILURE() << "a broken book was read";
        } catch (const NotesError &error) {
            const std::string said = error.what();
            EXPECT_NE(said.find(std::string(reason) + " (line " + std::to_string(line) + ")"), std::string::npos) << said;
        }
    }

    // A walk of whole documents with the helper threads refused, the first, the second or
    // all: it goes on in the calling thread.
    for (const int refused : {1, 2, 0}) {
        SCOPED_TRACE(refused);
        int started = 0;
        dxl::DxlReadAhead::setThreadStarter([&](std::function<void()> work) {
            if (++started == refused || refused == 0)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(work));
        });
        const auto all = people(write(whole));
        ASSERT_EQ(all.size(), static_cast<std::size_t>(Count));
        EXPECT_EQ(all.back()->GetItemValue("Type"), std::vector<std::string>{"Person"});
        EXPECT_EQ(all.front()->GetItemValue("Type"), std::vector<std::string>{"Person"});
        EXPECT_GE(started, 2);
    }
    dxl::DxlReadAhead::setThreadStarter(nullptr);

    // A list, or a second item of the name: read from the document, not the index.
    const auto listed = write(Head + person("", "Lee", "<item name='MailAddress'><textlist><text>a@x</text><text>b@x</text>"
                                                       "</textlist></item>") +
                              "<document form='Person'><item name='FirstName'><textlist><text>Ann</text><text>Anna</text>"
                              "</textlist></item><item name='MiddleInitial'><text>Q</text></item><item name='MiddleInitial'>"
                              "<text>R</text></item></document>\n</database>\n",
                              "listed.dxl");
    const auto docs = people(listed);
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0]->GetItemValue("FirstName"), (std::vector<std::string>{"Ann", "Anna"}));
    EXPECT_EQ(docs[0]->GetItemValue("middleinitial"), std::vector<std::string>{"Q"});
    EXPECT_EQ(docs[1]->GetItemValue("MailAddress"), (std::vector<std::string>{"a@x", "b@x"}));

    // The same bytes written again: not the book indexed, though every value still reads.
    const auto path = write(whole);
    auto view = session.GetDatabase("", path)->GetView("People");
    auto nav = view->CreateViewNav();
    auto entry = nav->GetFirstDocument();
    EXPECT_EQ(NotesObjects::firstValue(*entry->Document(), "FirstName"), "P1499");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    write(whole);
    EXPECT_THROW(nav->GetNextDocument(*entry)->Document(), NotesError);
}

TEST(DxlValueTextTest, NumbersAndDates)
{
    using namespace notes::dxl::DxlValueText;
    const std::pair<const char *, const char *> numbers[] = {
        {"30", "30"},   {" 2.5 ", "2.5"}, {"-0.125", "-0.125"}, {"3.0000000000000000E+01", "30"}, {"0.1", "0.1"},
        {"-0", "0"},    {"+5", "5"},      {"12abc", "12abc"},   {"n/a", "n/a"},
    };
    for (const auto &[text, shown] : numbers)
        EXPECT_EQ(number(text), shown) << text;
    // Every digit in every place, both zone signs, with and without hundredths; anything
    // not a whole date or time is left as written.
    const std::pair<const char *, const char *> dates[] = {
        {"20230415", "2023-04-15"},
        {"19870629", "1987-06-29"},
        {"T235901", "23:59:01"},
        {"T184607,00", "18:46:07"},
        {"20230415T235901+0530", "2023-04-15 23:59:01"},
        {"19870629T184607-0800", "1987-06-29 18:46:07"},
        {"20220125T202600,00-05", "2022-01-25 20:26:00"},
        {"20220125T202600,99+0530", "2022-01-25 20:26:00"},
        {"20220125T202600Z", "2022-01-25 20:26:00"},
        {"2022", "2022"},
        {"T2026", "T2026"},
        {"2023041", "2023041"},
        {"2023O415", "2023O415"},
        {"20230415T23590", "20230415T23590"},
        {"20230415T2359O1", "20230415T2359O1"},
        {"20230415+05", "20230415+05"},
    };
    for (const auto &[text, shown] : dates)
        EXPECT_EQ(dateTime(text), shown) << text;
}

} // namespace
