// tarnwick-genbook: writes a synthetic Notes address book in DXL form, for load testing.
//
//   tarnwick-genbook N SEED OUTFILE
//
// The book holds N Person documents that the People view shows, plus the odd Group
// document and save-conflict copy that a real names.nsf export carries along. The same
// (N, SEED) always gives the same bytes on every platform: the generator draws from its
// own splitmix64 stream and never from <random> distributions, whose output differs
// between standard libraries.

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace {

using namespace std::string_view_literals;

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        state_ += 0x9E3779B97F4A7C15ull;
        return mix(state_);
    }

    // Uniform in [0, n) by multiply-high; the bias is far below anything a test can see.
    std::uint32_t below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32);
    }

    // True with probability perMille / 1000.
    bool chance(std::uint32_t perMille) { return below(1000) < perMille; }

    template <typename T>
    const T& pick(std::span<const T> items)
    {
        return items[below(static_cast<std::uint32_t>(items.size()))];
    }

    static std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t state_;
};

// Groups and conflicts are decided from the document index alone, so that the header's
// document count can be worked out before the first document is written.
bool groupFollows(std::uint64_t seed, std::uint64_t index)
{
    return Rng::mix(seed ^ (index * 0xD1B54A32D192ED03ull) ^ 0x47524F5550ull) % 200 == 199;
}

bool conflictFollows(std::uint64_t seed, std::uint64_t index)
{
    return Rng::mix(seed ^ (index * 0xA24BAED4963EE407ull) ^ 0x434F4E46ull) % 500 == 499;
}

// A name as shown, and the ASCII spelling people use for it in e-mail addresses.
struct Named {
    std::string_view local;
    std::string_view ascii;
};

struct Culture {
    std::span<const Named> firstNames;
    std::span<const Named> lastNames;
    std::span<const std::string_view> cities;
    std::span<const std::string_view> streets;
    std::span<const std::string_view> companies;
    std::string_view country;
    std::string_view state;       // empty where addresses carry no state
    std::string_view zipPattern;  // '#' digit, 'A' letter
    std::string_view phoneCode;
    std::string_view phonePattern;
    std::string_view mailDomain;
    std::string_view zone;        // DXL zone suffix, e.g. "-05"
    std::string_view nameJoin;    // between the two halves of the displayed name
    bool familyFirst;
    bool latinInitials;
    std::uint32_t weight;
};

// ---- name and place pools -------------------------------------------------------------

constexpr std::array usFirst{
    Named{"James", "james"}, Named{"Mary", "mary"}, Named{"John", "john"}, Named{"Patricia", "patricia"},
    Named{"Robert", "robert"}, Named{"Jennifer", "jennifer"}, Named{"Michael", "michael"}, Named{"Linda", "linda"},
    Named{"William", "william"}, Named{"Elizabeth", "elizabeth"}, Named{"David", "david"}, Named{"Susan", "susan"},
    Named{"Ann", "ann"}, Named{"Bob", "bob"}, Named{"Sarah", "sarah"}, Named{"Emily", "emily"},
    Named{"Marcus", "marcus"}, Named{"Grace", "grace"}, Named{"Tom", "tom"}, Named{"Nina", "nina"},
    Named{"Mary Ann", "maryann"}, Named{"Jo-Ellen", "joellen"}};
constexpr std::array usLast{
    Named{"Smith", "smith"}, Named{"Johnson", "johnson"}, Named{"Williams", "williams"}, Named{"Brown", "brown"},
    Named{"Jones", "jones"}, Named{"Miller", "miller"}, Named{"Davis", "davis"}, Named{"Wilson", "wilson"},
    Named{"Anderson", "anderson"}, Named{"Taylor", "taylor"}, Named{"Lee", "lee"}, Named{"lee", "lee"},
    Named{"O'Brien", "obrien"}, Named{"O'Neil", "oneil"}, Named{"McDonald", "mcdonald"}, Named{"Webb", "webb"},
    Named{"Klein", "klein"}, Named{"Chen", "chen"}, Named{"Patel", "patel"}, Named{"van der Berg", "vanderberg"},
    Named{"de la Cruz", "delacruz"}, Named{"Smith-Jones", "smithjones"}};
constexpr std::array usCities{"Springfield"sv, "Boston"sv, "Austin"sv, "Denver"sv, "Chicago"sv,
                              "San Francisco"sv, "Portland"sv, "New York"sv};
constexpr std::array usStreets{"Elm Street"sv, "Summer Street"sv, "Congress Ave"sv, "Market St"sv,
                               "Oak Court"sv, "Willow Way"sv, "Baker Lane"sv};
constexpr std::array usCompanies{"Acme"sv, "Acme, Inc."sv, "Globex Corporation"sv, "Initech"sv,
                                 "Smith & Sons"sv, "Brown, Black & Green LLP"sv, "O'Reilly Widgets"sv,
                                 "Klein & Partners"sv, "A<B Consulting"sv};

constexpr std::array deFirst{Named{"José", "jose"}, Named{"Jürgen", "juergen"}, Named{"Jörg", "joerg"},
                             Named{"Anna", "anna"}, Named{"Käthe", "kaethe"}, Named{"Lukas", "lukas"},
                             Named{"Sophie", "sophie"}};
constexpr std::array deLast{Named{"Müller", "mueller"}, Named{"Schäfer", "schaefer"}, Named{"Weiß", "weiss"},
                            Named{"Groß", "gross"}, Named{"Köhler", "koehler"}, Named{"Schmidt", "schmidt"},
                            Named{"Muller", "muller"}};
constexpr std::array deCities{"Düsseldorf"sv, "München"sv, "Köln"sv, "Berlin"sv, "Lübeck"sv};
constexpr std::array deStreets{"Königsallee"sv, "Hauptstraße"sv, "Schloßstraße"sv, "Grafenberger Allee"sv};
constexpr std::array deCompanies{"Acme GmbH"sv, "Müller & Söhne KG"sv, "Bäckerei Groß"sv};

constexpr std::array frFirst{Named{"Zoë", "zoe"}, Named{"Chloé", "chloe"}, Named{"Hélène", "helene"},
                             Named{"François", "francois"}, Named{"Jérôme", "jerome"}, Named{"Noël", "noel"}};
constexpr std::array frLast{Named{"Lefèvre", "lefevre"}, Named{"Dubois", "dubois"}, Named{"Gauthier", "gauthier"},
                            Named{"Bérénger", "berenger"}, Named{"D'Arcy", "darcy"}};
constexpr std::array frCities{"Paris"sv, "Lyon"sv, "Besançon"sv, "Orléans"sv};
constexpr std::array frStreets{"rue de la Paix"sv, "boulevard Saint-Germain"sv, "rue Émile Zola"sv};
constexpr std::array frCompanies{"Société Générale des Eaux"sv, "Lefèvre et Fils"sv, "Château & Cie"sv};

constexpr std::array esFirst{Named{"José", "jose"}, Named{"María", "maria"}, Named{"Íñigo", "inigo"},
                             Named{"Inês", "ines"}, Named{"João", "joao"}, Named{"Ramón", "ramon"}};
constexpr std::array esLast{Named{"Núñez", "nunez"}, Named{"Peña", "pena"}, Named{"Díaz", "diaz"},
                            Named{"Carvalho", "carvalho"}, Named{"Mendes", "mendes"}, Named{"García", "garcia"}};
constexpr std::array esCities{"Madrid"sv, "Sevilla"sv, "São Paulo"sv, "Lisboa"sv, "Ciudad de México"sv};
constexpr std::array esStreets{"Calle Mayor"sv, "Rua das Flores"sv, "Avenida Paulista"sv};
constexpr std::array esCompanies{"Díaz y Asociados, S.A. de C.V."sv, "Mendes & Filhos Ltda."sv};

constexpr std::array nordicFirst{Named{"Ólafur", "olafur"}, Named{"Åsa", "asa"}, Named{"Søren", "soren"},
                                 Named{"Bjørn", "bjorn"}, Named{"Ægir", "aegir"}, Named{"Sigríður", "sigridur"}};
constexpr std::array nordicLast{Named{"Ásgeirsson", "asgeirsson"}, Named{"Þórsdóttir", "thorsdottir"},
                                Named{"Lindqvist", "lindqvist"}, Named{"Kierkegård", "kierkegard"},
                                Named{"Holm", "holm"}};
constexpr std::array nordicCities{"Reykjavík"sv, "Göteborg"sv, "Århus"sv, "Tromsø"sv};
constexpr std::array nordicStreets{"Laugavegur"sv, "Storgatan"sv, "Nørrebrogade"sv};
constexpr std::array nordicCompanies{"Þekking ehf."sv, "Volvo Kontor AB"sv};

constexpr std::array slavFirst{Named{"Łukasz", "lukasz"}, Named{"Tomáš", "tomas"}, Named{"Zdeněk", "zdenek"},
                               Named{"Małgorzata", "malgorzata"}, Named{"Peter", "peter"}};
constexpr std::array slavLast{Named{"Dvořák", "dvorak"}, Named{"Kowalski", "kowalski"},
                              Named{"Wiśniewski", "wisniewski"}, Named{"Novák", "novak"}, Named{"Nowak", "nowak"}};
constexpr std::array slavCities{"Kraków"sv, "Praha"sv, "Łódź"sv, "Brno"sv};
constexpr std::array slavStreets{"ulica Długa"sv, "Václavské náměstí"sv};
constexpr std::array slavCompanies{"Kowalski Sp. z o.o."sv, "Dvořák Audio s.r.o."sv};

constexpr std::array grFirst{Named{"Γιώργος", "giorgos"}, Named{"Μαρία", "maria"}, Named{"Νίκος", "nikos"},
                             Named{"Ελένη", "eleni"}};
constexpr std::array grLast{Named{"Παπαδόπουλος", "papadopoulos"}, Named{"Νικολάου", "nikolaou"},
                            Named{"Γεωργίου", "georgiou"}};
constexpr std::array grCities{"Αθήνα"sv, "Θεσσαλονίκη"sv};
constexpr std::array grStreets{"Οδός Ερμού"sv, "Λεωφόρος Συγγρού"sv};
constexpr std::array grCompanies{"Ελληνικά Ναυπηγεία"sv};

constexpr std::array ruFirst{Named{"Наталья", "natalia"}, Named{"Иван", "ivan"}, Named{"Ольга", "olga"},
                             Named{"Дмитрий", "dmitry"}};
constexpr std::array ruLast{Named{"Иванова", "ivanova"}, Named{"Смирнов", "smirnov"}, Named{"Кузнецова", "kuznetsova"},
                            Named{"Попов", "popov"}};
constexpr std::array ruCities{"Москва"sv, "Санкт-Петербург"sv, "Новосибирск"sv};
constexpr std::array ruStreets{"ул. Тверская"sv, "Невский проспект"sv};
constexpr std::array ruCompanies{"ООО «Пример»"sv, "АО «Север»"sv};

constexpr std::array arFirst{Named{"أحمد", "ahmad"}, Named{"فاطمة", "fatima"}, Named{"محمد", "mohammed"},
                             Named{"ليلى", "layla"}};
constexpr std::array arLast{Named{"الخطيب", "alkhatib"}, Named{"حداد", "haddad"}, Named{"منصور", "mansour"}};
constexpr std::array arCities{"دبي"sv, "القاهرة"sv, "عمّان"sv};
constexpr std::array arStreets{"شارع الشيخ زايد"sv, "شارع التحرير"sv};
constexpr std::array arCompanies{"شركة المثال"sv};

constexpr std::array jpFirst{Named{"太郎", "taro"}, Named{"花子", "hanako"}, Named{"健", "ken"}, Named{"由美", "yumi"}};
constexpr std::array jpLast{Named{"山田", "yamada"}, Named{"佐藤", "sato"}, Named{"鈴木", "suzuki"},
                            Named{"高橋", "takahashi"}};
constexpr std::array jpCities{"東京"sv, "大阪"sv, "京都"sv};
constexpr std::array jpStreets{"丸の内"sv, "梅田"sv};
constexpr std::array jpCompanies{"株式会社サンプル"sv, "山田商事"sv};

constexpr std::array cnFirst{Named{"伟", "wei"}, Named{"芳", "fang"}, Named{"娜", "na"}, Named{"梅", "mei"}};
constexpr std::array cnLast{Named{"王", "wang"}, Named{"李", "li"}, Named{"张", "zhang"}, Named{"吴", "wu"}};
constexpr std::array cnCities{"上海"sv, "北京"sv, "深圳"sv};
constexpr std::array cnStreets{"南京路"sv, "长安街"sv};
constexpr std::array cnCompanies{"Shanghai Widgets Co., Ltd."sv, "深圳电子有限公司"sv};

constexpr std::array krFirst{Named{"민준", "minjun"}, Named{"서연", "seoyeon"}};
constexpr std::array krLast{Named{"김", "kim"}, Named{"이", "lee"}, Named{"박", "park"}};
constexpr std::array krCities{"서울"sv, "부산"sv};
constexpr std::array krStreets{"세종대로"sv};
constexpr std::array krCompanies{"한국상사"sv};

constexpr std::array heFirst{Named{"דוד", "david"}, Named{"שרה", "sarah"}};
constexpr std::array heLast{Named{"כהן", "cohen"}, Named{"לוי", "levi"}};
constexpr std::array heCities{"תל אביב"sv, "ירושלים"sv};
constexpr std::array heStreets{"רחוב הרצל"sv};
constexpr std::array heCompanies{"חברה לדוגמה בע\"מ"sv};

constexpr std::array cultures{
    Culture{usFirst, usLast, usCities, usStreets, usCompanies, "USA", "MA", "#####", "+1 ", "### 555 ####",
            "example.com", "-05", " ", false, true, 40},
    Culture{deFirst, deLast, deCities, deStreets, deCompanies, "Deutschland", "", "#####", "+49 ", "### #### ###",
            "example.de", "+01", " ", false, true, 8},
    Culture{frFirst, frLast, frCities, frStreets, frCompanies, "France", "", "#####", "+33 ", "# ## ## ## ##",
            "example.fr", "+01", " ", false, true, 8},
    Culture{esFirst, esLast, esCities, esStreets, esCompanies, "España", "", "#####", "+34 ", "### ### ###",
            "example.es", "+01", " ", false, true, 8},
    Culture{nordicFirst, nordicLast, nordicCities, nordicStreets, nordicCompanies, "Ísland", "", "###", "+354 ",
            "### ####", "example.is", "+00", " ", false, true, 5},
    Culture{slavFirst, slavLast, slavCities, slavStreets, slavCompanies, "Polska", "", "##-###", "+48 ",
            "## ### ## ##", "example.pl", "+01", " ", false, true, 5},
    Culture{grFirst, grLast, grCities, grStreets, grCompanies, "Ελλάδα", "", "### ##", "+30 ", "## #### ####",
            "example.gr", "+02", " ", false, false, 4},
    Culture{ruFirst, ruLast, ruCities, ruStreets, ruCompanies, "Россия", "", "######", "+7 ", "### ### ## ##",
            "example.ru", "+03", " ", false, false, 5},
    Culture{arFirst, arLast, arCities, arStreets, arCompanies, "الإمارات", "", "#####", "+971 ", "# ### ####",
            "example.ae", "+04", " ", false, false, 4},
    Culture{jpFirst, jpLast, jpCities, jpStreets, jpCompanies, "日本", "", "###-####", "+81 ", "# #### ####",
            "example.jp", "+09", " ", true, false, 5},
    Culture{cnFirst, cnLast, cnCities, cnStreets, cnCompanies, "中国", "", "######", "+86 ", "### #### ####",
            "example.cn", "+08", "", true, false, 4},
    Culture{krFirst, krLast, krCities, krStreets, krCompanies, "대한민국", "", "#####", "+82 ", "## #### ####",
            "example.kr", "+09", "", true, false, 2},
    Culture{heFirst, heLast, heCities, heStreets, heCompanies, "ישראל", "", "#######", "+972 ", "# ### ####",
            "example.il", "+02", " ", false, false, 2},
};

constexpr std::uint32_t cultureWeightTotal()
{
    std::uint32_t total = 0;
    for (const Culture& c : cultures)
        total += c.weight;
    return total;
}

constexpr std::array jobTitles{
    "Account Manager"sv, "Engineer"sv, "Senior Engineer"sv, "CEO"sv, "Administrator"sv, "Consultant"sv,
    "Head of \"Special\" Projects"sv, "Director, \"Customer Love\""sv, "VP, Sales & Marketing"sv,
    "R&D Lead"sv, "Buyer"sv, "Tax Advisor"sv, "Data Scientist"sv, "Partner"sv, "Geschäftsführer"sv,
    "Chargée d’affaires"sv, "部長"sv, "Главный бухгалтер"sv, "مدير المبيعات"sv};
constexpr std::array departments{"Sales"sv, "R&D"sv, "IT"sv, "Finance"sv, "Legal"sv, "Operations"sv, "HR"sv,
                                 "Marketing & Communications"sv, "Office of the CTO"sv, "Développement"sv,
                                 "営業部"sv};
constexpr std::array locations{"Building 2"sv, "HQ"sv, "Remote"sv, "Floor 3, Room 301"sv, "Site <B>"sv,
                               "Annex"sv};
constexpr std::array titles{"Mr."sv, "Ms."sv, "Dr."sv, "Prof."sv, "Mx."sv};
constexpr std::array categories{"Customers"sv, "Vendors"sv, "Family"sv, "Friends"sv, "Legal"sv, "Book Club"sv};
constexpr std::array mailDomains{"Acme"sv, "Globex"sv, "AcmeDE"sv, "Initech"sv};
constexpr std::array mailServers{"CN=Mail01/O=Acme"sv, "CN=Hub/O=Globex"sv, "CN=DUS01/O=Acme"sv};
constexpr std::array orgs{"Acme"sv, "Globex"sv, "Initech"sv, "Acme/DE"sv};

// Paragraphs for rich-text comments, already in DXL form.
constexpr std::array commentPars{
    "<par def='1'><run><font style='bold'/>Important:</run> call before 10am, never on Fridays.</par>"sv,
    "<par def='1'>Handled the Smith &amp; Sons case in 2018; ask about the \"Dublin\" file.</par>"sv,
    "<par def='1'>Invoices go to the company address,<break/>not the home one.</par>"sv,
    "<par def='2'>Assistant: Ciara &lt;ciara@example.ie&gt;, ext. 12.</par>"sv,
    "<par def='1'><run><font size='9pt' name='Arial' style='italic'/>Updated after the 2021 review.</run></par>"sv,
    "<par def='1'/>"sv,
    "<par def='1'>Première rencontre : salon de Lyon. Envoie ses vœux chaque année.</par>"sv,
    "<par def='1'>日本語のコメント。名刺交換：2019年。</par>"sv,
    "<par def='1'>Prefers e-mail; reply within 2 days, or else.</par>"sv};
constexpr std::array commentLines{"Met at DevCon 2019 in Lisbon."sv, "Prefers e-mail over phone."sv,
                                  "Speaks Portuguese, Spanish, English."sv, "Birthday card \"every year\"."sv,
                                  "Gate code: 4#12 & press <Enter>."sv};

// ---- output ---------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(const std::string& path) : file_(path, std::ios::binary | std::ios::trunc)
    {
        buf_.reserve(kFlushAt + 64 * 1024);
    }

    bool ok() const { return static_cast<bool>(file_); }
    std::uint64_t written() const { return written_ + buf_.size(); }

    Writer& operator<<(std::string_view s)
    {
        buf_.append(s);
        return *this;
    }

    Writer& operator<<(char c)
    {
        buf_.push_back(c);
        return *this;
    }

    template <typename Int>
    void number(Int value)
    {
        std::array<char, 24> tmp{};
        auto [end, ec] = std::to_chars(tmp.data(), tmp.data() + tmp.size(), value);
        (void)ec;
        buf_.append(tmp.data(), end);
    }

    // Zero-padded decimal of fixed width.
    void padded(std::uint32_t value, int width)
    {
        std::array<char, 12> tmp{};
        for (int i = width - 1; i >= 0; --i) {
            tmp[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        buf_.append(tmp.data(), static_cast<std::size_t>(width));
    }

    void hex(std::uint64_t value, int digits, bool upper)
    {
        const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
        std::array<char, 16> tmp{};
        for (int i = digits - 1; i >= 0; --i) {
            tmp[static_cast<std::size_t>(i)] = alphabet[value & 0xF];
            value >>= 4;
        }
        buf_.append(tmp.data(), static_cast<std::size_t>(digits));
    }

    // Character data. Apostrophes stay literal, as in names like O'Brien; everything that
    // could end the text or start markup is escaped.
    void text(std::string_view s) { escaped(s, false); }

    // Attribute values, which this file always single-quotes.
    void attr(std::string_view s) { escaped(s, true); }

    void flushIfFull()
    {
        if (buf_.size() >= kFlushAt)
            flush();
    }

    void flush()
    {
        file_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        written_ += buf_.size();
        buf_.clear();
    }

private:
    void escaped(std::string_view s, bool inAttribute)
    {
        std::size_t start = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            std::string_view entity;
            switch (s[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            case '\'':
                if (inAttribute)
                    entity = "&apos;";
                break;
            default: break;
            }
            if (entity.empty())
                continue;
            buf_.append(s.substr(start, i - start));
            buf_.append(entity);
            start = i + 1;
        }
        buf_.append(s.substr(start));
    }

    static constexpr std::size_t kFlushAt = std::size_t{8} << 20;
    std::ofstream file_;
    std::string buf_;
    std::uint64_t written_ = 0;
};

// ---- document pieces ------------------------------------------------------------------

struct Stamp {
    std::uint32_t year, month, day, hour, minute, second, hundredths;
};

Stamp randomStamp(Rng& rng, std::uint32_t fromYear, std::uint32_t years)
{
    // Days stop at 28 so that every stamp is a real date without a calendar.
    return Stamp{fromYear + rng.below(years), 1 + rng.below(12), 1 + rng.below(28), rng.below(24),
                 rng.below(60), rng.below(60), rng.below(100)};
}

Stamp later(Rng& rng, Stamp s)
{
    Stamp t = s;
    t.year += rng.below(3);
    t.month = t.year == s.year ? s.month + rng.below(13 - s.month) : 1 + rng.below(12);
    const bool sameMonth = t.year == s.year && t.month == s.month;
    t.day = sameMonth ? s.day + rng.below(29 - s.day) : 1 + rng.below(28);
    const bool sameDay = sameMonth && t.day == s.day;
    t.hour = sameDay ? s.hour + rng.below(24 - s.hour) : rng.below(24);
    t.minute = sameDay && t.hour == s.hour ? s.minute + rng.below(60 - s.minute) : rng.below(60);
    t.hundredths = rng.below(100);
    return t;
}

void writeDate(Writer& out, const Stamp& s)
{
    out.padded(s.year, 4);
    out.padded(s.month, 2);
    out.padded(s.day, 2);
}

void writeStamp(Writer& out, const Stamp& s, std::string_view zone)
{
    writeDate(out, s);
    out << 'T';
    out.padded(s.hour, 2);
    out.padded(s.minute, 2);
    out.padded(s.second, 2);
    out << ',';
    out.padded(s.hundredths, 2);
    out << zone;
}

void datetimeElement(Writer& out, const Stamp& s, std::string_view zone, bool dst)
{
    out << (dst ? "<datetime dst='true'>"sv : "<datetime>"sv);
    writeStamp(out, s, zone);
    out << "</datetime>"sv;
}

void base64(Writer& out, Rng& rng, std::size_t bytes)
{
    static constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    // Whole 3-byte groups only, so no padding; the exporter breaks lines at 72 columns.
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes; i += 3) {
        std::uint64_t v = rng.next() & 0xFFFFFF;
        for (int shift = 18; shift >= 0; shift -= 6) {
            out << alphabet[static_cast<std::size_t>((v >> shift) & 0x3F)];
        }
        column += 4;
        if (column >= 72 && i + 3 < bytes) {
            out << '\n';
            column = 0;
        }
    }
}

// '#' becomes a digit and 'A' a capital letter; anything else is copied.
void pattern(std::string& into, Rng& rng, std::string_view pat)
{
    for (char c : pat) {
        if (c == '#')
            into.push_back(static_cast<char>('0' + rng.below(10)));
        else if (c == 'A')
            into.push_back(static_cast<char>('A' + rng.below(26)));
        else
            into.push_back(c);
    }
}

void asciiSlug(std::string& into, std::string_view s)
{
    for (char c : s) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            into.push_back(c);
        else if (c >= 'A' && c <= 'Z')
            into.push_back(static_cast<char>(c - 'A' + 'a'));
    }
}

class BookWriter {
public:
    BookWriter(Writer& out, std::uint64_t seed) : out_(out), rng_(seed) {}

    void header(std::uint64_t seed, std::uint64_t documents)
    {
        out_ << "<?xml version='1.0' encoding='utf-8'?>\n"
                "<!DOCTYPE database SYSTEM 'xmlschemas/domino_12_0_2.dtd'>\n"
                "<database xmlns='http://www.lotus.com/dxl' version='12.0' maintenanceversion='2.0'\n"
                " replicaid='"sv;
        out_.hex(Rng::mix(seed), 16, true);
        out_ << "' path='C:\\Users\\bench\\AppData\\Local\\HCL\\Notes\\Data\\names.nsf'\n title='"sv;
        out_.attr("Bench's Directory");
        out_ << "'>\n<databaseinfo dbid='"sv;
        out_.hex(Rng::mix(seed), 16, true);
        out_ << "' odsversion='55' diskspace='"sv;
        out_.number(documents * 2560 + 1048576);
        out_ << "' percentused='97.5' numberofdocuments='"sv;
        out_.number(documents);
        out_ << "'><datamodified><datetime dst='true'>20220125T202600,12-05</datetime></datamodified>"
                "<designmodified><datetime>20210907T101500,00-04</datetime></designmodified></databaseinfo>\n"sv;
    }

    void footer() { out_ << "</database>\n"sv; }

    void person(bool conflict, std::string_view parentUnid);
    void group();

    const std::string& lastUnid() const { return lastUnid_; }

private:
    void openItem(std::string_view name, std::string_view attrs = {})
    {
        out_ << "<item name='"sv;
        if (lowerNames_) {
            for (char c : name)
                out_ << ((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
        } else {
            out_ << name;
        }
        out_ << '\'' << attrs << '>';
    }

    void textItem(std::string_view name, std::string_view value, std::string_view attrs = {})
    {
        openItem(name, attrs);
        if (value.empty()) {
            out_ << "<text/></item>\n"sv;
            return;
        }
        out_ << "<text>"sv;
        out_.text(value);
        out_ << "</text></item>\n"sv;
    }

    // A list item: every value is exported to vCard, the first alone to the CSV.
    void listItem(std::string_view name, std::initializer_list<std::string_view> values)
    {
        openItem(name);
        out_ << "<textlist>"sv;
        for (std::string_view value : values) {
            out_ << "<text>"sv;
            out_.text(value);
            out_ << "</text>"sv;
        }
        out_ << "</textlist></item>\n"sv;
    }

    // Most exported fields go through here: now and then a value is blank, padded with
    // stray spaces, or the item is missing altogether, as in books people keep by hand.
    void field(std::string_view name, std::string_view value, std::uint32_t missingPerMille = 30)
    {
        if (rng_.chance(missingPerMille))
            return;
        if (rng_.chance(25)) {
            textItem(name, {});
            return;
        }
        if (rng_.chance(15)) {
            scratch_.assign(" ");
            scratch_.append(value);
            scratch_.append("  ");
            textItem(name, scratch_);
            return;
        }
        textItem(name, value);
    }

    void phone(std::string& into, const Culture& c)
    {
        into.assign(c.phoneCode);
        pattern(into, rng_, c.phonePattern);
    }

    void addressParts(const Culture& c, bool office);
    void comment();
    void noteinfo(const Stamp& created, const Stamp& modified, std::string_view zone);

    Writer& out_;
    Rng rng_;
    std::uint64_t noteId_ = 0x8fa;
    bool lowerNames_ = false;
    std::string scratch_;
    std::string lastUnid_;
    const Culture* lastCulture_ = &cultures[0];
    const Named* lastFirst_ = &usFirst[0];
    const Named* lastLast_ = &usLast[0];
    std::array<std::string, 16> recent_{};
    std::size_t recentNext_ = 0;
};

void BookWriter::noteinfo(const Stamp& created, const Stamp& modified, std::string_view zone)
{
    out_ << "<noteinfo noteid='"sv;
    int digits = 1;
    for (std::uint64_t rest = noteId_ >> 4; rest != 0; rest >>= 4)
        ++digits;
    out_.hex(noteId_, digits, false);
    noteId_ += 4;
    out_ << "' unid='"sv;
    // Keep the UNID for a conflict copy that may follow this document.
    Rng unidRng(rng_.next());
    lastUnid_.clear();
    for (int half = 0; half < 2; ++half) {
        std::uint64_t v = unidRng.next();
        for (int i = 15; i >= 0; --i)
            lastUnid_.push_back("0123456789ABCDEF"[(v >> (i * 4)) & 0xF]);
    }
    out_ << lastUnid_;
    // Long start tags get wrapped by the exporter; do the same now and then.
    out_ << (rng_.chance(50) ? "'\n sequence='"sv : "' sequence='"sv);
    out_.number(1 + rng_.below(40));
    out_ << "'>\n<created>"sv;
    datetimeElement(out_, created, zone, true);
    out_ << "</created>\n<modified>"sv;
    datetimeElement(out_, modified, zone, true);
    out_ << "</modified>\n<revised>"sv;
    datetimeElement(out_, modified, zone, true);
    out_ << "</revised>\n<lastaccessed>"sv;
    datetimeElement(out_, modified, zone, true);
    out_ << "</lastaccessed>\n<addedtofile>"sv;
    datetimeElement(out_, created, zone, true);
    out_ << "</addedtofile></noteinfo>\n"sv;
}

void BookWriter::addressParts(const Culture& c, bool office)
{
    std::string value;
    if (rng_.chance(100)) {
        // A two-line street address, as typed into the Notes form.
        value.assign("Flat ");
        value.push_back(static_cast<char>('1' + rng_.below(9)));
        value.push_back('\n');
    }
    std::array<char, 8> num{};
    auto [end, ec] = std::to_chars(num.data(), num.data() + num.size(), 1 + rng_.below(400));
    (void)ec;
    value.append(num.data(), end);
    value.push_back(' ');
    value.append(rng_.pick(c.streets));
    std::string_view street = office ? "OfficeStreetAddress"sv : "StreetAddress"sv;
    if (!rng_.chance(30)) {
        openItem(street);
        out_ << "<text>"sv;
        // Line breaks inside a text value are written as <break/>.
        std::size_t nl = value.find('\n');
        if (nl == std::string::npos) {
            out_.text(value);
        } else {
            out_.text(std::string_view(value).substr(0, nl));
            out_ << "<break/>"sv;
            out_.text(std::string_view(value).substr(nl + 1));
        }
        out_ << "</text></item>\n"sv;
    }
    field(office ? "OfficeCity"sv : "City"sv, rng_.pick(c.cities));
    std::string zip;
    pattern(zip, rng_, c.zipPattern);
    field(office ? "OfficeZip"sv : "Zip"sv, zip);
    if (!c.state.empty())
        field(office ? "OfficeState"sv : "State"sv, c.state);
    field(office ? "OfficeCountry"sv : "Country"sv, c.country);
}

void BookWriter::comment()
{
    std::uint32_t roll = rng_.below(100);
    if (roll < 22) {
        openItem("Comment");
        out_ << "<richtext>\n<pardef id='1'/>\n<pardef id='2' leftmargin='1.5000in'/>\n"sv;
        std::uint32_t pars = 2 + rng_.below(4);
        for (std::uint32_t i = 0; i < pars; ++i) {
            if (i)
                out_ << '\n';
            out_ << rng_.pick(std::span<const std::string_view>(commentPars));
        }
        out_ << "</richtext></item>\n"sv;
    } else if (roll < 32) {
        openItem("Comment");
        out_ << "<text>"sv;
        std::uint32_t lines = 2 + rng_.below(3);
        for (std::uint32_t i = 0; i < lines; ++i) {
            if (i)
                out_ << "<break/>"sv;
            out_.text(rng_.pick(std::span<const std::string_view>(commentLines)));
        }
        out_ << "</text></item>\n"sv;
    } else if (roll < 37) {
        textItem("Comment", {});
    } else if (roll < 45) {
        textItem("Comment", rng_.pick(std::span<const std::string_view>(commentLines)));
    }
}

const Culture& pickCulture(Rng& rng)
{
    std::uint32_t roll = rng.below(cultureWeightTotal());
    for (const Culture& c : cultures) {
        if (roll < c.weight)
            return c;
        roll -= c.weight;
    }
    return cultures[0];
}

void BookWriter::person(bool conflict, std::string_view parentUnid)
{
    // A save conflict is another version of the document it follows, so it keeps the name.
    if (!conflict) {
        lastCulture_ = &pickCulture(rng_);
        lastFirst_ = &rng_.pick(lastCulture_->firstNames);
        lastLast_ = &rng_.pick(lastCulture_->lastNames);
    }
    const Culture& c = *lastCulture_;
    const Named& first = *lastFirst_;
    const Named& last = *lastLast_;
    const Stamp created = randomStamp(rng_, 2005, 17);
    const Stamp modified = later(rng_, created);
    const std::string_view zone = c.zone;

    // Older books hold documents written as raw notes, with the form only in a Form item.
    const bool asNote = !conflict && rng_.chance(20);
    lowerNames_ = !conflict && rng_.chance(1);

    if (asNote) {
        out_ << "<note class='document'>\n"sv;
    } else if (conflict) {
        out_ << "<document form='Person' parent='"sv << parentUnid << "'\n conflict='true'>\n"sv;
    } else {
        out_ << "<document form='Person'>\n"sv;
    }
    noteinfo(created, modified, zone);
    out_ << "<updatedby><name>CN="sv;
    out_.text(first.local);
    out_ << ' ';
    out_.text(last.local);
    out_ << "/O="sv << rng_.pick(std::span<const std::string_view>(orgs)) << "</name></updatedby>\n<revisions>"sv;
    datetimeElement(out_, created, zone, true);
    out_ << "</revisions>\n"sv;

    if (asNote)
        textItem("Form", "Person");
    else
        textItem("Type", "Person");

    if (rng_.chance(60)) {
        openItem("Owner", " names='true'");
        out_ << "<textlist><text>CN=Ann Lee/O=Acme</text></textlist></item>\n"sv;
    }

    // Names. An empty first name and a missing last name both occur in real books.
    if (rng_.chance(10))
        textItem("FirstName", {});
    else
        field("FirstName", first.local, 5);
    if (!rng_.chance(5))
        textItem("LastName", last.local);

    std::string initial;
    if (rng_.chance(300)) {
        if (c.latinInitials) {
            initial.push_back(static_cast<char>('A' + rng_.below(26)));
            if (rng_.chance(400))
                initial.push_back('.');
        } else if (&c == &cultures[7]) {
            initial.assign("С");
        }
        if (!initial.empty())
            textItem("MiddleInitial", initial);
    } else if (rng_.chance(50)) {
        textItem("MiddleInitial", {});
    }

    std::string display;
    if (c.familyFirst) {
        display.append(last.local).append(c.nameJoin).append(first.local);
    } else {
        display.append(first.local);
        if (!initial.empty())
            display.append(" ").append(initial);
        display.append(" ").append(last.local);
    }
    std::string_view org = rng_.pick(std::span<const std::string_view>(orgs));
    openItem("FullName", " names='true'");
    if (rng_.chance(500)) {
        out_ << "<textlist><text>"sv;
        out_.text(display);
        out_ << '/' << org << "</text><text>"sv;
        out_.text(display);
        if (rng_.chance(300)) {
            out_ << "</text><text>"sv << first.ascii.substr(0, 1) << last.ascii;
        }
        out_ << "</text></textlist></item>\n"sv;
    } else {
        out_ << "<text>"sv;
        out_.text(display);
        out_ << "</text></item>\n"sv;
    }
    recent_[recentNext_++ % recent_.size()] = display;

    std::string mail;
    asciiSlug(mail, first.ascii);
    mail.push_back('.');
    asciiSlug(mail, last.ascii);
    if (rng_.chance(50))
        mail.push_back(static_cast<char>('0' + rng_.below(10)));
    mail.push_back('@');
    mail.append(c.mailDomain);
    if (rng_.chance(15)) {
        // An address with its display name, quotes and comma included.
        std::string full = "\"";
        full.append(last.local).append(", ").append(first.local).append("\" <").append(mail).append(">");
        textItem("MailAddress", full);
    } else if (rng_.chance(15)) {
        textItem("MailAddress", {});
    } else if (rng_.chance(120)) {
        // A second and third address: private, and an old one kept for the record.
        std::string home = mail.substr(0, mail.find('@')) + "@home." + std::string(c.mailDomain);
        if (rng_.chance(300))
            listItem("MailAddress", {mail, home, "old." + mail});
        else
            listItem("MailAddress", {mail, home});
    } else {
        field("MailAddress", mail, 20);
    }
    if (rng_.chance(40))
        textItem("InternetAddress", mail);
    if (rng_.chance(100)) {
        std::string nick(first.ascii.substr(0, 3));
        if (!nick.empty())
            nick[0] = static_cast<char>(nick[0] - 'a' + 'A');
        textItem("NickName", nick);
    }
    if (rng_.chance(20))
        textItem("Suffix", rng_.chance(500) ? "Jr."sv : "PhD"sv);

    std::string phoneBuf;
    addressParts(c, false);
    phone(phoneBuf, c);
    if (rng_.chance(80)) {
        // Several numbers in one item, as the form allows.
        std::string second;
        phone(second, c);
        listItem("PhoneNumber", {phoneBuf, second});
    } else {
        field("PhoneNumber", phoneBuf, 150);
    }
    if (rng_.chance(200)) {
        phone(phoneBuf, c);
        field("HomeFAXPhoneNumber", phoneBuf, 0);
    }
    phone(phoneBuf, c);
    field("CellPhoneNumber", phoneBuf, 100);
    if (rng_.chance(400)) {
        std::string site = "https://www.";
        asciiSlug(site, last.ascii);
        site.push_back('.');
        site.append(c.mailDomain);
        site.append(rng_.chance(300) ? "/~"sv : "/"sv);
        if (rng_.chance(200))
            listItem("WebSite", {site, "https://blog.example/" + std::string(first.ascii)});
        else
            textItem("WebSite", site);
    }

    if (!rng_.chance(200)) {
        addressParts(c, true);
        phone(phoneBuf, c);
        field("OfficePhoneNumber", phoneBuf);
        if (rng_.chance(400)) {
            phone(phoneBuf, c);
            field("OfficeFAXPhoneNumber", phoneBuf, 0);
        }
    }
    if (rng_.chance(100)) {
        std::string pager = "555-";
        pager.push_back(static_cast<char>('0' + rng_.below(10)));
        pager.append("1");
        pager.push_back(static_cast<char>('0' + rng_.below(10)));
        pager.push_back(static_cast<char>('0' + rng_.below(10)));
        field("PersPager", pager, 0);
    }

    std::string_view company = rng_.chance(500) ? rng_.pick(c.companies)
                                                : rng_.pick(std::span<const std::string_view>(usCompanies));
    field("CompanyName", company, 60);
    field("JobTitle", rng_.pick(std::span<const std::string_view>(jobTitles)), 80);
    field("Department", rng_.pick(std::span<const std::string_view>(departments)), 150);
    field("Location", rng_.pick(std::span<const std::string_view>(locations)), 300);
    comment();

    // The rest of a real Person document: not exported, but the reader has to skip it.
    std::string shortName;
    shortName.append(first.ascii.substr(0, 1));
    asciiSlug(shortName, last.ascii);
    textItem("ShortName", shortName);
    textItem("MailDomain", rng_.pick(std::span<const std::string_view>(mailDomains)));
    textItem("MailServer", rng_.pick(std::span<const std::string_view>(mailServers)), " names='true'");
    scratch_.assign("mail\\");
    scratch_.append(shortName);
    scratch_.append(".nsf");
    textItem("MailFile", scratch_);
    textItem("MailSystem", "1");
    if (rng_.chance(600)) {
        openItem("Certificate", " sign='true'");
        out_ << "<rawitemdata type='1'>\n"sv;
        base64(out_, rng_, 180 + 3 * rng_.below(40));
        out_ << "\n</rawitemdata></item>\n"sv;
    }
    if (rng_.chance(500)) {
        openItem("HTTPPassword", " protected='true'");
        out_ << "<text>(G"sv;
        base64(out_, rng_, 21);
        out_ << ")</text></item>\n"sv;
    }
    if (rng_.chance(400))
        textItem("Title", rng_.pick(std::span<const std::string_view>(titles)));
    if (rng_.chance(300)) {
        openItem("Categories");
        out_ << "<textlist><text>"sv << rng_.pick(std::span<const std::string_view>(categories))
             << "</text><text>"sv << rng_.pick(std::span<const std::string_view>(categories))
             << "</text></textlist></item>\n"sv;
    }
    if (rng_.chance(400)) {
        openItem("Birthday");
        out_ << "<datetime>"sv;
        writeDate(out_, randomStamp(rng_, 1940, 65));
        out_ << "</datetime></item>\n"sv;
    }
    if (rng_.chance(300)) {
        openItem("Children");
        out_ << "<number>"sv;
        out_.number(rng_.below(5));
        out_ << "</number></item>\n"sv;
    }
    if (rng_.chance(50)) {
        openItem("ReminderOffsets");
        out_ << "<numberlist><number>-7</number><number>0</number><number>1.5</number></numberlist></item>\n"sv;
    }
    if (rng_.chance(50)) {
        openItem("VacationDates");
        const Stamp from = randomStamp(rng_, 2020, 3);
        out_ << "<datetimepair><datetime>"sv;
        writeDate(out_, from);
        out_ << "</datetime><datetime>"sv;
        writeDate(out_, later(rng_, from));
        out_ << "</datetime></datetimepair></item>\n"sv;
    }
    if (rng_.chance(50)) {
        openItem("AvailableFrom");
        out_ << "<datetime>T"sv;
        out_.padded(7 + rng_.below(4), 2);
        out_ << "0000,00</datetime></item>\n"sv;
    }
    if (conflict)
        textItem("$Conflict", {});
    openItem("$Revisions", " sign='true'");
    out_ << "<datetimelist><datetime>"sv;
    writeStamp(out_, created, zone);
    out_ << "</datetime><datetime>"sv;
    writeStamp(out_, modified, zone);
    out_ << "</datetime></datetimelist></item>\n"sv;
    out_ << (asNote ? "</note>\n"sv : "</document>\n"sv);
    lowerNames_ = false;
}

void BookWriter::group()
{
    const Stamp created = randomStamp(rng_, 2010, 12);
    const Stamp modified = later(rng_, created);
    out_ << "<document form='Group'>\n"sv;
    noteinfo(created, modified, "-05");
    out_ << "<updatedby><name>CN=Ann Lee/O=Acme</name></updatedby>\n<revisions>"sv;
    datetimeElement(out_, created, "-05", true);
    out_ << "</revisions>\n"sv;
    textItem("Type", "Group");
    scratch_.assign("Team ");
    scratch_.push_back(static_cast<char>('A' + rng_.below(26)));
    scratch_.append(rng_.chance(300) ? " & Friends"sv : ""sv);
    textItem("ListName", scratch_);
    textItem("GroupType", "0");
    openItem("Members", " names='true'");
    out_ << "<textlist>"sv;
    std::uint32_t members = 2 + rng_.below(10);
    for (std::uint32_t i = 0; i < members; ++i) {
        const std::string& name = recent_[rng_.below(static_cast<std::uint32_t>(recent_.size()))];
        out_ << "<text>"sv;
        out_.text(name.empty() ? std::string_view("Ann Lee") : std::string_view(name));
        out_ << "</text>"sv;
    }
    out_ << "</textlist></item>\n"sv;
    textItem("ListDescription", "Everyone on the \"A\" list, incl. contractors & guests");
    textItem("ListCategory", {});
    openItem("$Revisions", " sign='true'");
    out_ << "<datetimelist><datetime>"sv;
    writeStamp(out_, created, "-05");
    out_ << "</datetime></datetimelist></item>\n</document>\n"sv;
}

bool parseCount(std::string_view s, std::uint64_t& value)
{
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t count = 0;
    std::uint64_t seed = 0;
    if (argc != 4 || !parseCount(argv[1], count) || !parseCount(argv[2], seed)) {
        std::cerr << "usage: tarnwick-genbook N SEED OUTFILE\n";
        return 2;
    }

    std::uint64_t groups = 0;
    std::uint64_t conflicts = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        groups += groupFollows(seed, i) ? 1u : 0u;
        conflicts += conflictFollows(seed, i) ? 1u : 0u;
    }

    Writer out(argv[3]);
    if (!out.ok()) {
        std::cerr << "tarnwick-genbook: cannot open " << argv[3] << " for writing\n";
        return 1;
    }
    BookWriter book(out, seed);
    book.header(seed, count + groups + conflicts);
    for (std::uint64_t i = 0; i < count; ++i) {
        book.person(false, {});
        if (conflictFollows(seed, i)) {
            const std::string parent = book.lastUnid();
            book.person(true, parent);
        }
        if (groupFollows(seed, i))
            book.group();
        out.flushIfFull();
    }
    book.footer();
    out.flush();
    if (!out.ok()) {
        std::cerr << "tarnwick-genbook: write to " << argv[3] << " failed\n";
        return 1;
    }
    std::cerr << "tarnwick-genbook: " << count << " persons, " << groups << " groups, " << conflicts
              << " conflicts, " << out.written() << " bytes\n";
    return 0;
}
