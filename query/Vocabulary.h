#pragma once

#include <array>
#include <string_view>

#include "VocabularyTable.h"

namespace quorvel {

// The constant lists of the search form. A list's selected index is the row index.
const VocabularyTable& CategoryTable();  // 81 rows; row 0 has no category id
const VocabularyTable& LocationTable();  // 63 rows; code is the area value
const VocabularyTable& SortTable();      // 5 rows; code is the sort key
const VocabularyTable& CreditTable();    // 20 rows, lowest grade first

// What each sort key orders by, named, not by row position.
enum class SortOrder { CommissionDesc, PriceAsc, PriceDesc, CreditDesc, SalesDesc };
SortOrder SortOrderOfRow(int sortRow);  // throws VocabularyError

// Location rows below this index carry an area value of their own; the others
// are single places whose area value is their display text.
inline constexpr int FirstSinglePlaceRow = 5;

// The service filters, in the order the query builder appends them.
enum class ServiceFilter { Overseas, CashOnDelivery, AsDescribed, SevenDayReturn, Mall, ThirtyDayRepair, Guarantee };
inline constexpr int ServiceFilterCount = 7;

struct ServiceFilterRow {
    ServiceFilter filter;
    std::string_view name;      // the query parameter, e.g. "oi"
    std::string_view caption;   // the check box's caption, and the page's name for the service
    std::string_view fragment;  // appended to the query when checked
};

const std::array<ServiceFilterRow, ServiceFilterCount>& ServiceFilterTable();

}  // namespace quorvel
