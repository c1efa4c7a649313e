#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Raised for an index or code that names no row. The panel can never produce
// one, but the library is also used by the service on untrusted input.
class VocabularyError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

struct VocabularyRow {
    std::string_view display;  // what the panel shows, spaces included
    std::string_view code;     // what the query carries for this row
};

// One fixed list of the search form: display texts in order, with the code
// each index stands for and the way back from a code to its index.
class VocabularyTable {
public:
    VocabularyTable(std::string_view field, std::span<const VocabularyRow> rows);

    std::string_view field() const { return m_field; }
    int size() const { return static_cast<int>(m_rows.size()); }
    std::span<const VocabularyRow> rows() const { return m_rows; }

    // The row at index; throws VocabularyError naming the field and the index.
    const VocabularyRow& at(int index) const;
    // The first row whose code is exactly code.
    std::optional<int> indexOfCode(std::string_view code) const;

private:
    std::string_view m_field;
    std::span<const VocabularyRow> m_rows;
};

}  // namespace quorvel
