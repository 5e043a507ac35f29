#include "VCard.h"

#include "notes/Document.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarnwick::vcard {

namespace {

using Values = std::vector<std::string>;

// The line limit of RFC 2426, in octets, not counting the line end.
constexpr std::size_t LineLimit = 75;

struct Place
{
    std::string_view item;
    std::string_view property; // name and parameters, up to the colon
};

// The Contact form's phone items and the kind each has in a card.
constexpr std::array<Place, 6> Phones{{
    {"OfficePhoneNumber", "TEL;TYPE=WORK,VOICE"},
    {"PhoneNumber", "TEL;TYPE=HOME,VOICE"},
    {"CellPhoneNumber", "TEL;TYPE=CELL"},
    {"OfficeFAXPhoneNumber", "TEL;TYPE=WORK,FAX"},
    {"HomeFAXPhoneNumber", "TEL;TYPE=HOME,FAX"},
    {"PersPager", "TEL;TYPE=PAGER"},
}};

// An address's items in the order of ADR's parts after the post-office box: extended
// address, street, city, region, postal code, country.
struct Address
{
    std::string_view property;
    std::array<std::string_view, 6> items;
};
constexpr std::array<Address, 2> Addresses{{
    {"ADR;TYPE=HOME", {"", "StreetAddress", "City", "State", "Zip", "Country"}},
    // The office location ("Building 2, Room 301") is what ADR calls the extended address.
    {"ADR;TYPE=WORK", {"Location", "OfficeStreetAddress", "OfficeCity", "OfficeState", "OfficeZip", "OfficeCountry"}},
}};

// Builds one content line at a time and folds it into the card.
class Lines
{
public:
    explicit Lines(std::string &card)
        : m_card(card)
    {
    }

    void add(std::string_view property, std::string_view value)
    {
        start(property);
        appendEscaped(m_line, value);
        appendFolded(m_card, m_line);
    }
    // A list value: the values separated by commas. Nothing when there is none.
    void list(std::string_view property, const Values &values)
    {
        if (values.empty())
            return;
        start(property);
        join(values);
        appendFolded(m_card, m_line);
    }
    // A structured value: parts separated by semicolons, each a list.
    void structured(std::string_view property, std::initializer_list<const Values *> parts)
    {
        start(property);
        bool first = true;
        for (const Values *part : parts) {
            if (!std::exchange(first, false))
                m_line.push_back(';');
            join(*part);
        }
        appendFolded(m_card, m_line);
    }
    // A structured value whose parts are one value each.
    void parts(std::string_view property, const Values &values)
    {
        start(property);
        join(values, ';');
        appendFolded(m_card, m_line);
    }

private:
    void start(std::string_view property)
    {
        m_line.assign(property);
        m_line.push_back(':');
    }
    void join(const Values &values, char separator = ',')
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i)
                m_line.push_back(separator);
            appendEscaped(m_line, values[i]);
        }
    }

    std::string &m_card;
    std::string m_line;
};

void appendWords(std::string &out, const Values &values)
{
    for (const auto &value : values) {
        if (!out.empty())
            out.push_back(' ');
        out.append(value);
    }
}

bool contains(const Values &values, std::string_view value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

} // namespace

void appendEscaped(std::string &out, std::string_view text)
{
    for (;;) {
        auto special = text.find_first_of("\\,;\r\n");
        out.append(text.substr(0, special));
        if (special == std::string_view::npos)
            return;
        switch (text[special]) {
        case '\r':
            if (special + 1 < text.size() && text[special + 1] == '\n')
                ++special;
            [[fallthrough]];
        case '\n':
            out.append("\\n");
            break;
        default:
            out.push_back('\\');
            out.push_back(text[special]);
            break;
        }
        text.remove_prefix(special + 1);
    }
}

void appendFolded(std::string &out, std::string_view line)
{
    std::size_t room = LineLimit;
    while (line.size() > room) {
        std::size_t cut = room;
        // Back to the first byte of the character the limit falls in. Text that is not
        // UTF-8 is cut at the limit.
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == 0)
            cut = room;
        out.append(line.substr(0, cut));
        out.append("\r\n ");
        line.remove_prefix(cut);
        room = LineLimit - 1; // the blank that marks a folded line counts
    }
    out.append(line);
    out.append("\r\n");
}

std::string_view commonName(std::string_view name)
{
    if (name.size() >= 3 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'N' || name[1] == 'n') && name[2] == '=')
        name.remove_prefix(3);
    return name.substr(0, name.find('/'));
}

void appendCard(std::string &card, notes::Document &contact)
{
    // A missing item reads as one empty value, and an empty value has no place in a card.
    const auto read = [&contact](std::string_view item) {
        Values values = item.empty() ? Values() : contact.GetItemValue(item);
        std::erase_if(values, [](const std::string &value) { return value.empty(); });
        return values;
    };

    const Values fullName = read("FullName"), first = read("FirstName"), middle = read("MiddleInitial"),
                 last = read("LastName"), prefix = read("Title"), suffix = read("Suffix");
    Values mail = read("MailAddress");
    // A Domino Directory's person keeps the Internet address apart from the Notes one.
    for (auto &address : read("InternetAddress")) {
        if (!contains(mail, address))
            mail.push_back(std::move(address));
    }
    const Values company = read("CompanyName"), department = read("Department");

    // FN is the one property every card needs: the full name, else the name from its
    // parts, else whatever else names the contact.
    std::string formatted = fullName.empty() ? std::string() : std::string(commonName(fullName.front()));
    if (formatted.empty()) {
        for (const Values *part : {&prefix, &first, &middle, &last, &suffix})
            appendWords(formatted, *part);
    }
    if (formatted.empty() && !mail.empty())
        formatted = mail.front();
    if (formatted.empty() && !company.empty())
        formatted = company.front();

    // The full name's other values are the names the contact is also known by.
    Values nicknames = read("NickName");
    for (std::size_t i = 1; i < fullName.size(); ++i) {
        if (fullName[i] != formatted && !contains(nicknames, fullName[i]))
            nicknames.push_back(fullName[i]);
    }

    Lines lines(card);
    card.append("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    lines.add("FN", formatted);
    lines.structured("N", {&last, &first, &middle, &prefix, &suffix});
    lines.list("NICKNAME", nicknames);
    for (std::size_t i = 0; i < mail.size(); ++i)
        lines.add(i == 0 ? "EMAIL;TYPE=INTERNET,PREF" : "EMAIL;TYPE=INTERNET", mail[i]);
    for (const Place &phone : Phones) {
        for (const auto &number : read(phone.item))
            lines.add(phone.property, number);
    }
    for (const Address &address : Addresses) {
        std::array<Values, 6> parts;
        bool any = false;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            parts[i] = read(address.items[i]);
            any = any || !parts[i].empty();
        }
        const Values none;
        if (any)
            lines.structured(address.property, {&none, &parts[0], &parts[1], &parts[2], &parts[3], &parts[4], &parts[5]});
    }
    // ORG's parts are the organisation and its units, not alternatives: a second company
    // is an ORG of its own.
    if (!company.empty() || !department.empty()) {
        Values units{company.empty() ? std::string() : company.front()};
        units.insert(units.end(), department.begin(), department.end());
        lines.parts("ORG", units);
        for (std::size_t i = 1; i < company.size(); ++i)
            lines.add("ORG", company[i]);
    }
    for (const auto &title : read("JobTitle"))
        lines.add("TITLE", title);
    for (const auto &site : read("WebSite"))
        lines.add("URL", site);
    if (const Values birthday = read("Birthday"); !birthday.empty()) {
        // A date and time as the readers write it, "1985-03-14 09:30:00", takes RFC 2426's
        // "T" between them.
        std::string date = birthday.front();
        if (date.size() == 19 && date[10] == ' ')
            date[10] = 'T';
        lines.add("BDAY", date);
    }
    lines.list("CATEGORIES", read("Categories"));
    if (const Values comment = read("Comment"); !comment.empty()) {
        std::string note;
        for (const auto &paragraph : comment)
            note.append(note.empty() ? "" : "\n").append(paragraph);
        lines.add("NOTE", note);
    }
    card.append("END:VCARD\r\n");
}

} // namespace tarnwick::vcard
