#include "notes/NotesObjects.h"
#include "dxl/DxlSession.h"
#include "dxl/DxlReadAhead.h"
#include "dxl/DxlValueText.h"

#include <gtest/gtest.h>

#include "Fixtures.h"

#include <chrono>
#include <functional>
#include <map>
#include <system_error>
#include <thread>

using notes::NotesError;
using notes::NotesObjects;
namespace dxl = notes::dxl;

namespace {

// A book of people P0, P1, ... whose last names count down, so that the view lists them
// last to first, as listed says; make, where given, writes each one.
using Maker = std::function<std::string(int i, const std::string &first, const std::string &last)>;
std::string countdown(int count, std::vector<std::string> *listed = nullptr, const Maker &make = nullptr)
{
    std::string book = Head;
    for (int i = 0; i < count; ++i) {
        const auto first = "P" + std::to_string(i), last = "L" + std::to_string(10000 + count - i).substr(1);
        book += make ? make(i, first, last) : person(first, last);
        if (listed)
            listed->insert(listed->begin(), first + " " + last);
    }
    return book + "</database>\n";
}

// Text in UTF-16 with a byte-order mark, in either byte order.
std::string utf16(const std::u16string &text, bool bigEndian)
{
    std::string out;
    for (const char16_t unit : u'\uFEFF' + text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

// What the reader said when it refused; a failure when it read.
std::string refusal(const std::function<void()> &read)
{
    try {
        read();
    } catch (const NotesError &error) {
        return error.what();
    }
    ADD_FAILURE() << "read what it should have refused";
    return {};
}

class DxlReaderTest : public ::testing::Test
{
protected:
    std::string write(const std::string &bytes, const std::string &name = "book.dxl") { return dir.write(name, bytes); }

    // The People view's documents, in view order.
    std::vector<std::unique_ptr<notes::Document>> people(const std::string &path)
    {
        dxl::DxlSession session;
        auto view = session.GetDatabase("", path)->GetView("People");
        auto navigator = view->CreateViewNav();
        std::vector<std::unique_ptr<notes::Document>> out;
        for (auto entry = navigator->GetFirstDocument(); entry; entry = navigator->GetNextDocument(*entry))
            out.push_back(entry->Document());
        EXPECT_EQ(static_cast<std::size_t>(navigator->Count()), out.size());
        return out;
    }

    static std::vector<std::string> names(const std::vector<std::unique_ptr<notes::Document>> &docs)
    {
        std::vector<std::string> out;
        for (const auto &doc : docs)
            out.push_back(NotesObjects::firstValue(*doc, "FirstName") + " " +
                          NotesObjects::firstValue(*doc, "LastName"));
        return out;
    }

    TempFolder dir{"dxl"};
};

// Each kind of item as Notes writes it, read whole; what a number or a date becomes is
// DxlValueTextTest's. A list of a sort key and the second item of a name are read from the
// document, not from the index of the view's sort keys.
TEST_F(DxlReaderTest, ValuesAsNotesWritesThem)
{
    const std::tuple<const char *, const char *, std::vector<std::string>> items[] = {
        // Asked first, before anything has parsed the document: a list is not the index's.
        {"FirstName", "<item name='FirstName'><textlist><text>A</text><text>B</text></textlist></item>", {"A", "B"}},
        {"MailAddress", "<item name='MailAddress'\n summary='true'><text>ann@acme.ie</text></item>", {"ann@acme.ie"}},
        {"Empty", "<item name='Empty'><text/></item>", {""}},
        {"Missing", "", {""}},
        {"Street", "<item name='Street'><text>1 Main St<break/>Suite 2</text></item>", {"1 Main St\nSuite 2"}},
        {"Comment",
         "<item name='Comment'><richtext>\n<pardef id='1'/>\n<par def='1'>First, <run><font style='bold'/>"
         "bold</run></par>\n<par def='1'>Second &quot;line&quot;<break/>broken</par>\n<par def='1'>"
         "<picture><gif>R0lGOD==</gif></picture></par></richtext></item>",
         {"First, bold\nSecond \"line\"\nbroken\n"}},
        {"Certificate", "<item name='Certificate'><rawitemdata type='1'>AAEC</rawitemdata></item>", {""}},
        {"N", "<item name='N'><numberlist><number>-5</number><number>1e3</number></numberlist></item>", {"-5", "1000"}},
        {"Trip",
         "<item name='Trip'><datetimepair><datetime dst='true'>20230301T090000,00-05</datetime>"
         "<datetime>20230310</datetime></datetimepair></item>",
         {"2023-03-01 09:00:00"}},
        {"JobTitle", "<item name='jobtitle'><text>&quot;Special&quot;</text></item>", {"\"Special\""}},
        {"middleinitial", "<item name='MiddleInitial'><text>Q</text></item>"
                          "<item name='MiddleInitial'><text>R</text></item>", {"Q"}},
        {"Spaces", "<item name='Spaces'><text>  padded  </text></item>", {"  padded  "}},
    };
    std::string xml;
    for (const auto &[name, item, value] : items)
        xml += std::string(item) + "\n";
    const auto docs = people(write(Head + ("<document form='Person'>" + xml + "</document>\n</database>\n")));
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
        person("Bob", "Lee", "<item name='MailAddress'><text>second@tie</text></item>") + person("Eve", "Leeds") +
        person("Émile", "Lee") + person("", "Lee") +
        // Type decides; the form only where there is no Type item.
        "<document form='Person'><item name='Type'><text>Group</text></item>"
        "<item name='FirstName'><text>Grp</text></item></document>\n"
        "<document form='Memo'><item name='Type'><text>Person</text></item>"
        "<item name='FirstName'><text>Typed</text></item><item name='LastName'><text>Adams</text></item></document>\n"
        "<document form='Person'><item name='FirstName'><text>Formed</text></item>"
        "<item name='LastName'><text>Adams</text></item></document>\n";
    const auto docs = people(write(Head + body + "</database>\n"));
    EXPECT_EQ(names(docs),
              (std::vector<std::string>{"Formed Adams", "Nora Adams", "Typed Adams", " Lee", "Amy Lee", "Bob Lee",
                                        "Bob Lee", "Bob Lee", "Zed lee", "Émile Lee", "Eve Leeds"}));
    // Ties keep the file's order; an initial sorts after none.
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
    EXPECT_EQ(names(people(plain)), std::vector<std::string>{"Al Bo"});

    // UTF-16 in either byte order, as some tools re-save exports, the usual DOCTYPE line
    // included: the index pass reads past it in two-byte units.
    std::u16string xml = u"<?xml version='1.0' encoding='utf-16'?>\n"
                         u"<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n<database title='Wide'>";
    const std::u16string wideNames[] = {u"Zoë", u"Ólafsson", u"太郎", u"山田", u"\U0001D518", u"\U0001F600"};
    for (std::size_t i = 0; i < std::size(wideNames); i += 2)
        xml += u"<document form='Person'><item name='FirstName'><text>" + wideNames[i] +
               u"</text></item><item name='LastName'><text>" + wideNames[i + 1] + u"</text></item></document>\n";
    xml += u"</database>";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "UTF-16BE" : "UTF-16LE");
        const auto wide = write(utf16(xml, bigEndian), "wide.dxl");
        EXPECT_EQ(session.GetDatabase("", wide)->Title(), "Wide");
        EXPECT_EQ(names(people(wide)),
                  (std::vector<std::string>{"Zoë Ólafsson", "太郎 山田", "\U0001D518 \U0001F600"}));
    }
}

// Files that are not DXL databases, hostile ones and ones the two passes could read
// differently are refused before anything is listed, and never read what lies elsewhere; a
// fault in a book read split across the cores is its first one, by its line.
// A missing file, an empty one, a folder, a binary database and an undefined entity in a
// value are CliReasons' cases.
TEST_F(DxlReaderTest, RefusesWhatItCannotReadWhole)
{
    const auto secret = write("TOP-SECRET", "secret.txt");
    const std::string prolog = "<?xml version='1.0' encoding='utf-8'?>\n";
    // A book of 1,500 read split across the cores, its first fault wherever it lies, with its
    // line counted from the book's start.
    const auto faulty = [](const std::map<int, std::string> &faults, const std::string &reason) {
        const auto bytes = countdown(1500, nullptr, [&](int i, auto &name, auto &last) {
            return person(name + (faults.contains(i) ? faults.at(i) : ""), last);
        });
        const auto &[index, fault] = *faults.begin();
        const auto at = bytes.find("P" + std::to_string(index) + fault.substr(0, 2));
        const auto line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
        return std::pair(bytes, reason + " (line " + std::to_string(line) + ")");
    };
    std::string bomb = "<?xml version='1.0'?>\n<!DOCTYPE database [\n<!ENTITY a0 'ha'>\n";
    for (int i = 1; i < 30; ++i)
        bomb += "<!ENTITY a" + std::to_string(i) + " '&a" + std::to_string(i - 1) + ";&a" + std::to_string(i - 1) +
                ";'>\n";
    const std::pair<std::string, std::string> cases[] = {
        {"<database xmlns='urn:other'/>", ""},
        {bomb + "]>\n<database title='&a29;'>" + person("Ann", "Lee") + "</database>", ""},
        {prolog + "<!DOCTYPE database [\n<!ENTITY s SYSTEM 'file://" + secret + "'>\n]>\n<database title='&s;'>" +
             person("&s;", "Lee") + "</database>",
         ""},
        {prolog + "<!DOCTYPE database [<!ENTITY % p SYSTEM '" + secret + "'> %p;]>\n<database/>", ""},
        {Head + person("Ann", "Lee") +
             "<document form='Per&x;son'><item name='LastName'><text>Ray</text></item></document></database>",
         "undefined entity (line "},
        {prolog + "<!DOCTYPE database SYSTEM 'd.dtd' [<!ATTLIST item name CDATA 'LastName'>]>\n<database>" +
             "<document form='Person'><item><text>Aardvark</text></item></document>" + person("Ann", "Lee") +
             "</database>",
         "DTD"},
        {prolog + "<!DOCTYPE database [ ]>\n<database>" + person("Ann", "Lee") + "</database>", "DTD"},
        faulty({{1100, "&nbsp;"}}, "undefined entity"),
        faulty({{1300, "</oops>"}}, "mismatched tag"),
        faulty({{200, "&x;"}, {1300, "</oops>"}}, "undefined entity"),
        faulty({{1499, "<text a='<document '/>"}}, "not well-formed (invalid token)"),
    };
    dxl::DxlSession session;
    for (const auto &[bytes, reason] : cases) {
        SCOPED_TRACE(bytes.substr(0, 200));
        const auto said = refusal([&] { session.GetDatabase("", write(bytes, "refused.dxl"))->GetView("People"); });
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(said.find("TOP-SECRET"), std::string::npos);
    }
    EXPECT_THROW(session.GetDatabase("server/Acme", write(Head + std::string("</database>"))), NotesError);
    EXPECT_FALSE(dxl::DxlSession::isDxlFile(dir / "missing.dxl"));
    EXPECT_FALSE(dxl::DxlSession::isDxlFile(write(std::string("\x1A\0", 2), "b.nsf")));
    EXPECT_TRUE(dxl::DxlSession::isDxlFile(write("\xEF\xBB\xBF  <database/>", "bom.dxl")));
    // The usual DOCTYPE line with the predefined and numeric references reads as before.
    EXPECT_EQ(names(people(write(Head + person("A&amp;B &#233;&lt;", "Lee") + "</database>"))),
              std::vector<std::string>{"A&B é< Lee"});
}

// Person documents of every size an address book holds, photos included, up to the
// largest one read at all, each read whole and in view order however it compares with
// what reading ahead may hold; one byte more is refused. Other documents may be larger.
TEST_F(DxlReaderTest, DocumentsOfEverySize)
{
    constexpr std::size_t MaxDocument = 64u << 20;
    static_assert(MaxDocument > dxl::DxlReadAhead::MaxBytesAhead);
    const auto withPhoto = [](std::size_t i, std::size_t bytes) {
        return person("P", std::to_string(i), "<item name='Photo'><text>" + std::string(bytes, 'A') + "</text></item>");
    };
    // The last photo makes its document, from "<document" to "</document>", the largest read.
    std::vector<std::size_t> photos = {0, 100u << 10, 3u << 20, 1, 10u << 20, 1u << 10, 5u << 20, 7u << 20, 2};
    photos.push_back(MaxDocument - (withPhoto(photos.size(), 0).size() - 1));
    {
        std::ofstream book(dir.path / "book.dxl", std::ios::binary);
        book << Head << "<document form='Memo'><item name='Body'><text>" << std::string(65u << 20, 'M')
             << "</text></item></document>\n";
        for (std::size_t i = 0; i < photos.size(); ++i)
            book << withPhoto(i, photos[i]);
        book << "</database>\n";
    }
    std::vector<std::size_t> read; // each photo's size, in view order; npos where it is not read whole
    for (const auto &doc : people(dir / "book.dxl")) {
        const auto photo = NotesObjects::firstValue(*doc, "Photo");
        read.push_back(photo.find_first_not_of('A') == std::string::npos ? photo.size() : std::string::npos);
    }
    EXPECT_EQ(read, photos);
    const auto said = refusal([&] { people(write(Head + withPhoto(0, photos.back() + 1) + "</database>\n")); });
    EXPECT_NE(said.find("larger than any address-book entry can be (64 MiB)"), std::string::npos) << said;
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
    auto ahead = dxl::DxlReadAhead::start(write(book + "</database>\n"), "UTF-8", ranges, 2);
    ASSERT_TRUE(ahead);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // let the workers run as far as they may
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ahead->take().firstValue("firstname"), "P" + std::to_string(i));
    EXPECT_LE(ahead->peakBytesAhead(), dxl::DxlReadAhead::MaxBytesAhead);
    EXPECT_GT(ahead->peakBytesAhead(), 0u);
}

// Split across the cores, a book reads as one pass from its start: decoys of a document
// start where a byte scan finds them, documents across every split point, the helper threads
// refused (the first fault of such a book is RefusesWhatItCannotReadWhole's). Walks served by
// reading ahead read what a walk on the spot does, until the book is not the one indexed.
TEST_F(DxlReaderTest, SplitBooksReadAsOnePass)
{
    // Between any two documents, and inside each, a document's start where only a parse can
    // tell that it is none: wherever a split point falls, the next start a byte scan finds
    // is almost surely one of these.
    const std::string decoy = "<document form='Person'><item name='LastName'><text>Decoy</text></item></document>";
    const std::string decoys = "<!-- " + decoy + " -->\n<![CDATA[" + decoy +
                               "]]>\n<?keep <document form='Person'> ?>\n<documentation>" + decoy +
                               "</documentation>\n<notebook/><!-- <document -->";
    constexpr int Count = 1500;
    std::vector<std::string> listed;
    const auto whole = countdown(Count, &listed, [&](int, auto &first, auto &last) {
        return decoys + person(first, last, "<!-- <document form='Person'> -->\n");
    });

    // Without the decoys a split point meets a real document. Two walks, one behind the
    // other, past the read-ahead window twice over; then the same bytes written again. The
    // first name is read first, from the index; the first person's is a list, so that
    // document is parsed for it alone, and the walk's parsers start with the second, which
    // is the first read whole, and serve it from there on in view order.
    const auto plain = countdown(Count, nullptr, [](int i, auto &first, auto &last) {
        if (i != Count - 1)
            return person(first, last);
        return "<document form='Person'><item name='Type'><text>Person</text></item><item name='FirstName'>"
               "<textlist><text/><text>" + first + "</text></textlist></item><item name='LastName'><text>" + last +
               "</text></item></document>\n";
    });
    dxl::DxlSession session;
    auto view = session.GetDatabase("", write(plain))->GetView("People");
    // Threads started by the walk (the index pass is over), but the refused-th (0: every one).
    int started = 0, refused = -1;
    dxl::DxlReadAhead::setThreadStarter([&](std::function<void()> work) {
        if (++started == refused || refused == 0)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(work));
    });
    auto walker = view->CreateViewNav(), other = view->CreateViewNav();
    auto first = [](const std::unique_ptr<notes::ViewEntry> &entry) {
        const auto doc = entry->Document();
        const auto name = NotesObjects::firstValue(*doc, "FirstName"); // before anything else
        return name + "/" + NotesObjects::firstValue(*doc, "Type");
    };
    auto entry = walker->GetFirstDocument(), behind = other->GetFirstDocument();
    EXPECT_EQ(first(entry), "/Person"); // the list's first value is empty
    EXPECT_EQ(first(entry), "/Person"); // the same entry again: read on the spot
    for (int i = 1; i < Count; ++i) {
        entry = walker->GetNextDocument(*entry);
        ASSERT_TRUE(entry);
        ASSERT_EQ(first(entry), "P" + std::to_string(Count - 1 - i) + "/Person");
        if (i % 3 == 0) {
            behind = other->GetNextDocument(*behind);
            ASSERT_EQ(first(behind), "P" + std::to_string(Count - 1 - i / 3) + "/Person");
        }
    }
    EXPECT_FALSE(walker->GetNextDocument(*entry));
    if (dxl::DxlReadAhead::usableCores() > 1) {
        EXPECT_GE(started, 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a later time stamp
    write(plain);
    EXPECT_THROW(other->GetNextDocument(*behind)->Document(), NotesError);

    // Helper threads are a speed-up only: without them, the first, the second or every one,
    // the index pass and reading ahead go on in the calling thread.
    for (const int refusing : {-1, 1, 2, 0}) {
        SCOPED_TRACE(refusing);
        started = 0;
        refused = refusing;
        const auto all = people(write(whole));
        ASSERT_EQ(names(all), listed);
        // Read from the documents, not from the index.
        EXPECT_EQ(all.back()->GetItemValue("Type"), std::vector<std::string>{"Person"});
        EXPECT_EQ(all.front()->GetItemValue("Type"), std::vector<std::string>{"Person"});
        EXPECT_GE(started, 2);
    }
    dxl::DxlReadAhead::setThreadStarter(nullptr);
}

TEST(DxlValueTextTest, NumbersAndDates)
{
    using namespace notes::dxl::DxlValueText;
    // Anything not a number is left as written, and so is a number already as shown.
    const std::pair<const char *, const char *> numbers[] = {
        {" 2.5 ", "2.5"}, {"3.0000000000000000E+01", "30"}, {"-0", "0"}, {"+5", "5"}, {"30", "30"},
        {"-0.125", "-0.125"}, {"0.1", "0.1"}, {"12abc", "12abc"}, {"n/a", "n/a"}};
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
        {"20220125T202600,99+0530", "2022-01-25 20:26:00"},
        {"20220125T202600Z", "2022-01-25 20:26:00"},
        {"2022", "2022"}, {"T2026", "T2026"}, {"2023041", "2023041"}, {"2023O415", "2023O415"},
        {"20230415T23590", "20230415T23590"}, {"20230415T2359O1", "20230415T2359O1"}, {"20230415+05", "20230415+05"},
    };
    for (const auto &[text, shown] : dates)
        EXPECT_EQ(dateTime(text), shown) << text;
}

} // namespace
