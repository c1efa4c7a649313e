#include "VocabularyTable.h"

namespace quorvel {

VocabularyTable::VocabularyTable(std::string_view field, std::span<const VocabularyRow> rows)
    : m_field(field), m_rows(rows) {}

const VocabularyRow& VocabularyTable::at(int index) const {
    if (index < 0 || index >= size()) {
        throw VocabularyError(std::string(m_field) + " index " + std::to_string(index) +
                              " is outside 0.." + std::to_string(size() - 1));
    }
    return m_rows[static_cast<std::size_t>(index)];
}

std::optional<int> VocabularyTable::indexOfCode(std::string_view code) const {
    for (int i = 0; i < size(); ++i) {
        if (m_rows[static_cast<std::size_t>(i)].code == code) return i;
    }
    return std::nullopt;
}

}  // namespace quorvel
