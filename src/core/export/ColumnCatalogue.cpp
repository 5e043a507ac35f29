#include "ColumnCatalogue.h"

namespace tarnwick {

std::optional<std::size_t> ColumnCatalogue::positionOf(std::string_view header)
{
    for (std::size_t i = 0; i < Size; ++i) {
        if (s_columns[i].header == header)
            return i;
    }
    return std::nullopt;
}

} // namespace tarnwick
