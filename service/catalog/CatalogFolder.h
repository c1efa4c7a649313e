#pragma once

namespace quorvel {

// The names in a catalog folder, shared by the reader and the writer:
//   DIR/CURRENT        names the generation in use
//   DIR/LOCK           held by the one import writing the folder
//   DIR/gen-*/xapian   the index (title terms, category, service flags)
//   DIR/gen-*/columns  what searches filter and sort on (a service holds it locked)
//   DIR/gen-*/items    the item records, as the search API returns them
//   DIR/gen-*/words    the titles' words with how many titles hold each
namespace CatalogFolder {
inline constexpr const char* CurrentFile = "CURRENT";
inline constexpr const char* LockFile = "LOCK";
inline constexpr const char* IndexFolder = "xapian";
inline constexpr const char* ColumnsFile = "columns";
inline constexpr const char* RecordsFile = "items";
inline constexpr const char* WordsFile = "words";  // title words with their counts, for suggestions
inline constexpr const char* GenerationPrefix = "gen-";
}  // namespace CatalogFolder

}  // namespace quorvel
