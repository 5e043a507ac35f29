#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

struct Column
{
    std::string_view header; // as written in the file's first line and shown in the list
    std::string_view item;   // the Notes item whose first value fills the column
};

// The 28 columns Google Contacts' import understands, in the order they are listed and
// written. Nothing adds, removes or reorders them at run time.
class ColumnCatalogue
{
public:
    static constexpr std::size_t Size = 28;
    // The one column that is never followed by a separator.
    static constexpr std::size_t LastPosition = Size - 1;

    static constexpr const std::array<Column, Size> &columns() { return s_columns; }
    static std::optional<std::size_t> positionOf(std::string_view header);

private:
    static constexpr std::array<Column, Size> s_columns{{
        {"First Name", "FirstName"},
        {"Last Name", "LastName"},
        {"Middle Name", "MiddleInitial"},
        {"Name", "FullName"},
        {"E-mail Address", "MailAddress"},
        {"Home Street", "StreetAddress"},
        {"Home City", "City"},
        {"Home Postal Code", "Zip"},
        {"Home State", "State"},
        {"Home Country/Region", "Country"},
        {"Home Phone", "PhoneNumber"},
        {"Home Fax", "HomeFAXPhoneNumber"},
        {"Mobile Phone", "CellPhoneNumber"},
        {"Personal Web Page", "WebSite"},
        {"Business Street", "OfficeStreetAddress"},
        {"Business City", "OfficeCity"},
        {"Business Postal Code", "OfficeZip"},
        {"Business State", "OfficeState"},
        {"Business Country/Region", "OfficeCountry"},
        {"Business Web Page", "WebSite"},
        {"Business Phone", "OfficePhoneNumber"},
        {"Business Fax", "OfficeFAXPhoneNumber"},
        {"Pager", "PersPager"},
        {"Company", "CompanyName"},
        {"Job Title", "JobTitle"},
        {"Department", "Department"},
        {"Office Location", "Location"},
        {"Notes", "Comment"},
    }};
};

} // namespace tarnwick
