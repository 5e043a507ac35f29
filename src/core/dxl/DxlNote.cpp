#include "DxlNote.h"

namespace notes::dxl {

namespace {

std::uint32_t narrow(std::size_t n)
{
    return static_cast<std::uint32_t>(n);
}

} // namespace

bool DxlNote::sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

void DxlNote::clear()
{
    m_text.clear();
    m_items.clear();
    m_values.clear();
}

const DxlNote::Item *DxlNote::find(std::string_view wanted) const
{
    for (const auto &item : m_items) {
        if (sameName(name(item), wanted))
            return &item;
    }
    return nullptr;
}

std::string_view DxlNote::firstValue(std::string_view wanted) const
{
    const auto *item = find(wanted);
    return item ? value(*item, 0) : std::string_view();
}

void DxlNote::beginItem(std::string_view itemName)
{
    m_items.push_back(Item{narrow(m_text.size()), narrow(itemName.size()), narrow(m_values.size()), 0});
    m_text.append(itemName);
}

void DxlNote::beginValue()
{
    m_values.push_back(Value{narrow(m_text.size()), 0});
    ++m_items.back().valueCount;
}

std::string_view DxlNote::currentValue() const
{
    const auto &v = m_values.back();
    return std::string_view(m_text).substr(v.offset);
}

void DxlNote::replaceCurrentValue(const std::string &text)
{
    m_text.resize(m_values.back().offset);
    m_text.append(text);
}

void DxlNote::endValue()
{
    auto &v = m_values.back();
    v.length = narrow(m_text.size() - v.offset);
}

void DxlNote::endItem()
{
    if (m_items.back().valueCount == 0) {
        beginValue();
        endValue();
    }
}

} // namespace notes::dxl
