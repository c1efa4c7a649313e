#include "SuggestionWords.h"

#include <algorithm>
#include <charconv>
#include <fstream>

#include "CatalogError.h"
#include "MappedFile.h"
#include "QueryFormat.h"
#include "Utf8.h"

namespace quorvel {

void SuggestionWords::Builder::addTitle(std::string_view title) {
    std::vector<std::string> words = KeywordWords(LowerAscii(title));
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    for (auto& w : words) ++m_counts[std::move(w)];
}

void SuggestionWords::Builder::write(const std::filesystem::path& file) const {
    std::vector<std::pair<std::string_view, std::uint64_t>> sorted(m_counts.begin(), m_counts.end());
    std::sort(sorted.begin(), sorted.end());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& [word, count] : sorted) out << word << '\t' << count << '\n';
    out.flush();
    if (!out) throw CatalogError("cannot write " + file.string() + " (disk full?)");
}

SuggestionWords SuggestionWords::open(const std::filesystem::path& file) {
    SuggestionWords words;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return words;
    words.m_file = std::make_shared<const MappedFile>(file);
    std::string_view rest = words.m_file->bytes();
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto tab = rest.find('\t');
        if (end == std::string_view::npos || tab == std::string_view::npos || tab > end || tab == 0) {
            throw CatalogError("the catalog is damaged (its suggestion words do not read); import it again");
        }
        Entry e{rest.substr(0, tab), 0};
        const auto [at, error] = std::from_chars(rest.data() + tab + 1, rest.data() + end, e.titles);
        if (error != std::errc() || at != rest.data() + end) {
            throw CatalogError("the catalog is damaged (its suggestion words do not read); import it again");
        }
        words.m_entries.push_back(e);
        rest.remove_prefix(end + 1);
    }
    return words;
}

std::vector<SuggestionWords::Entry> SuggestionWords::matching(std::string_view text, std::size_t limit) const {
    const std::string needle = LowerAscii(text);
    if (needle.empty() || limit == 0) return {};
    struct Found {
        Entry entry;
        bool prefix;
    };
    std::vector<Found> found;
    for (const Entry& e : m_entries) {
        const auto at = e.word.find(needle);
        if (at != std::string_view::npos) found.push_back({e, at == 0});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.entry.titles != b.entry.titles) return a.entry.titles > b.entry.titles;
        return a.prefix && !b.prefix;
    });
    std::vector<Entry> out;
    for (std::size_t i = 0; i < found.size() && out.size() < limit; ++i) out.push_back(found[i].entry);
    return out;
}

}  // namespace quorvel
