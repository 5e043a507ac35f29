#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace notes::dxl {

// The items of one note as text, all in one buffer: a document of forty items costs three
// allocations, not a hundred, which is what keeps a walk over a large book near the speed
// of the XML parser itself.
class DxlNote
{
public:
    struct Item
    {
        std::uint32_t nameOffset;
        std::uint32_t nameLength;
        std::uint32_t firstValue;
        std::uint32_t valueCount;
    };
    struct Value
    {
        std::uint32_t offset;
        std::uint32_t length;
    };

    void clear();

    // Item names match ignoring the case of ASCII letters, as in Notes. Null when missing.
    const Item *find(std::string_view name) const;
    std::string_view name(const Item &item) const { return {m_text.data() + item.nameOffset, item.nameLength}; }
    std::string_view value(const Item &item, std::uint32_t index) const
    {
        const auto &v = m_values[item.firstValue + index];
        return {m_text.data() + v.offset, v.length};
    }
    // Element 0 of the item, empty when the item is missing.
    std::string_view firstValue(std::string_view name) const;

    // Building, in document order; a value is always the last thing written.
    void beginItem(std::string_view name);
    void beginValue();
    void appendToValue(std::string_view text) { m_text.append(text); }
    void appendToValue(char c) { m_text.push_back(c); }
    std::string_view currentValue() const;
    void replaceCurrentValue(const std::string &text);
    void endValue();
    void endItem(); // an item without values gets one empty value

    static bool sameName(std::string_view a, std::string_view b);
    // Item names and the view's sort keys fold ASCII letters only: no locale is consulted.
    static char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

private:
    std::string m_text;
    std::vector<Item> m_items;
    std::vector<Value> m_values;
};

} // namespace notes::dxl
