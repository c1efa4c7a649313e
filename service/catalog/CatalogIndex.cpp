#include "CatalogIndex.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <atomic>
#include <cctype>
#include <fstream>
#include <optional>
#include <queue>

#include <xapian.h>
#include <xxhash.h>

#include "CatalogError.h"
#include "CatalogFolder.h"
#include "ColumnsFormat.h"
#include "FileLock.h"
#include "MappedFile.h"
#include "TermPrefixes.h"
#include "TitleTerms.h"

namespace fs = std::filesystem;

namespace quorvel {
namespace {

// A match on the way to the page: smaller ranks first; ties go by document
// id, which is item id order, so paging is stable.
struct Ranked {
    std::int64_t key;
    Xapian::docid doc;
    bool operator<(const Ranked& o) const { return key != o.key ? key < o.key : doc < o.doc; }
};

// Descending keys are the bitwise complement (-x - 1): the same order as
// negation, without overflow for any value a column holds.
std::int64_t sortKey(const CatalogColumns& c, std::size_t i, SortOrder order) {
    switch (order) {
    case SortOrder::CommissionDesc: return ~c.commission(i);
    case SortOrder::PriceAsc: return c.price(i);
    case SortOrder::PriceDesc: return ~c.price(i);
    case SortOrder::CreditDesc: return ~static_cast<std::int64_t>(c.credit(i));
    case SortOrder::SalesDesc: return ~c.sales(i);
    }
    return 0;
}

}  // namespace

bool CatalogIndex::exists(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / CatalogFolder::CurrentFile, ec);
}

std::string CatalogIndex::currentGeneration(const fs::path& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw CatalogError("no catalog folder at " + dir.string());
    std::string generation;
    {
        std::ifstream in(dir / CatalogFolder::CurrentFile);
        if (!in) throw CatalogError(dir.string() + " is not a catalog folder (it has no CURRENT file)");
        std::getline(in, generation);
    }
    // An edited file may end in CR or spaces; the name itself never does.
    while (!generation.empty() && std::isspace(static_cast<unsigned char>(generation.back()))) generation.pop_back();
    if (generation.empty() || generation.find('/') != std::string::npos || generation.find('\\') != std::string::npos ||
        generation.find("..") != std::string::npos) {
        throw CatalogError(dir.string() + " is not a catalog folder (its CURRENT file is damaged)");
    }
    return generation;
}

std::shared_ptr<const CatalogIndex> CatalogIndex::open(const fs::path& dir) {
    // An import may switch and clean up between reading CURRENT and taking
    // the generation's lock: then CURRENT names a newer one; try that.
    for (int attempt = 0;; ++attempt) {
        const std::string generation = currentGeneration(dir);
        try {
            return openGeneration(dir, generation);
        } catch (const CatalogError&) {
            if (attempt >= 4 || currentGeneration(dir) == generation) throw;
        }
    }
}

std::shared_ptr<const CatalogIndex> CatalogIndex::openGeneration(const fs::path& dir, const std::string& generation) {
    const fs::path genDir = dir / generation;
    // The column and record files name themselves only; say whose they are.
    const auto inFolder = [&dir](const CatalogError& e) { return CatalogError(std::string(e.what()) + " (in " + dir.string() + ")"); };
    std::optional<CatalogColumns> opened;
    std::shared_ptr<const MappedFile> records;
    std::unique_ptr<FileLock> inUse;
    try {
        // Held while this index lives: no import removes the generation under it.
        inUse = FileLock::tryLock(genDir / CatalogFolder::ColumnsFile, FileLock::Mode::Shared);
        if (!inUse) throw CatalogError("the catalog generation " + generation + " is being removed");
        opened = CatalogColumns::open(genDir / CatalogFolder::ColumnsFile);
        records = std::make_shared<const MappedFile>(genDir / CatalogFolder::RecordsFile);
    } catch (const CatalogError& e) {
        throw inFolder(e);
    }
    CatalogColumns columns = std::move(*opened);
    const std::uint64_t blocks = (columns.recordBytes() + ColumnsLayout::RecordBlockBytes - 1) / ColumnsLayout::RecordBlockBytes;
    if (records->size() != columns.recordBytes() || columns.recordBlocks() != blocks) {
        throw CatalogError("the catalog in " + dir.string() + " is damaged (its item records are missing or cut); import it again");
    }
    SuggestionWords words;
    try {
        words = SuggestionWords::open(genDir / CatalogFolder::WordsFile);
    } catch (const CatalogError& e) {
        throw inFolder(e);
    }
    std::shared_ptr<const CatalogIndex> index(
        new CatalogIndex(dir, genDir, std::move(columns), std::move(records), std::move(words), std::move(inUse)));
    // Open once here, so that a damaged index is reported at start, not at the
    // first search; the reader then serves the first search.
    try {
        auto db = std::make_unique<Xapian::Database>((genDir / CatalogFolder::IndexFolder).string());
        if (db->get_doccount() != index->size() || (index->size() > 0 && db->get_lastdocid() != index->size())) {
            throw CatalogError("the catalog in " + dir.string() + " is damaged (index and columns disagree); import it again");
        }
        index->giveBack(std::move(db));
    } catch (const Xapian::Error& e) {
        throw CatalogError("the catalog index in " + dir.string() + " cannot be opened: " + e.get_description());
    }
    return index;
}

CatalogIndex::CatalogIndex(fs::path folder, fs::path generation, CatalogColumns columns,
                           std::shared_ptr<const MappedFile> records, SuggestionWords words,
                           std::unique_ptr<FileLock> inUse)
    : m_folder(std::move(folder)), m_generation(std::move(generation)), m_columns(std::move(columns)),
      m_records(std::move(records)), m_words(std::move(words)), m_inUse(std::move(inUse)),
      m_recordBlockState(new std::atomic<std::uint8_t>[m_columns.recordBlocks()]()) {}

CatalogIndex::~CatalogIndex() = default;

std::unique_ptr<Xapian::Database> CatalogIndex::takeReader() const {
    {
        std::lock_guard lock(m_readersMutex);
        if (!m_readers.empty()) {
            auto reader = std::move(m_readers.back());
            m_readers.pop_back();
            return reader;
        }
    }
    return std::make_unique<Xapian::Database>((m_generation / CatalogFolder::IndexFolder).string());
}

void CatalogIndex::giveBack(std::unique_ptr<Xapian::Database> reader) const {
    std::lock_guard lock(m_readersMutex);
    m_readers.push_back(std::move(reader));
}

std::string CatalogIndex::itemRecord(std::size_t i) const {
    const auto [offset, length] = m_columns.itemRecord(i);
    if (offset + length > m_records->size() || offset + length < offset) {
        throw CatalogError("the catalog is damaged (its item records do not add up); import it again");
    }
    // The blocks a record lies in are checked against their checksums the
    // first time any record in them is sent.
    const std::uint64_t blockBytes = ColumnsLayout::RecordBlockBytes;
    for (std::uint64_t b = offset / blockBytes; length > 0 && b <= (offset + length - 1) / blockBytes; ++b) {
        std::uint8_t state = m_recordBlockState[b].load(std::memory_order_acquire);
        if (state == 0) {
            const std::uint64_t begin = b * blockBytes;
            const std::uint64_t bytes = std::min<std::uint64_t>(blockBytes, m_records->size() - begin);
            state = XXH3_64bits(m_records->data() + begin, bytes) == m_columns.recordSum(b) ? 1 : 2;
            m_recordBlockState[b].store(state, std::memory_order_release);
        }
        if (state != 1) throw CatalogError("the catalog is damaged (its item records do not match their checksums); import it again");
    }
    std::string_view record(m_records->data() + offset, length);
    if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
    return std::string(record);
}

SearchResult CatalogIndex::search(const SearchQuery& q) const {
    try {
        // A reader of this index's own, used by one search at a time: readers
        // go with the index, so a replaced generation's files are let go as
        // soon as no search uses it.
        struct Lease {
            const CatalogIndex& index;
            std::unique_ptr<Xapian::Database> db;
            ~Lease() {
                if (db) index.giveBack(std::move(db));
            }
        } lease{*this, takeReader()};
        Xapian::Database& db = *lease.db;
        const CatalogColumns& c = m_columns;

        // Terms every match must have: title grams, category, service flags.
        std::vector<std::string> terms;
        std::vector<std::string> checks;  // lowered words to find in the title
        for (const auto& word : q.words) {
            TitleTerms::Word w = TitleTerms::ofWord(word);
            terms.insert(terms.end(), w.terms.begin(), w.terms.end());
            if (w.needsCheck) checks.push_back(std::move(w.lowered));
        }
        if (!q.categoryId.empty()) terms.push_back(TermPrefixes::category(q.categoryId));
        // Service flags are tested from the columns, not intersected as
        // postings: each flag is common (a large share of the catalog), so its
        // posting list costs far more to walk than one byte per candidate.
        const unsigned services = q.services;
        std::sort(terms.begin(), terms.end());
        terms.erase(std::unique(terms.begin(), terms.end()), terms.end());

        // Places as a set of place ids; a place no item has matches nothing.
        std::vector<bool> placeWanted;
        if (!q.places.empty()) {
            placeWanted.assign(c.placeCount(), false);
            for (const auto& p : q.places) {
                if (const auto id = c.placeId(p)) placeWanted[id] = true;
            }
        }

        const std::size_t keep = static_cast<std::size_t>(q.page) * static_cast<std::size_t>(q.size);
        std::priority_queue<Ranked> best;  // the worst kept match on top
        SearchResult result;
        SearchCounts counts;
        if (q.counts) {
            counts.categories.assign(static_cast<std::size_t>(CategoryTable().size()), 0);
            counts.places.assign(c.placeCount(), 0);
            counts.services.assign(ServiceFilterTable().size(), 0);
            counts.prices.assign(std::size(SearchCounts::PriceEdgesYuan) + 1, 0);
        }
        // With a category asked for, every match is in it: that column need not be read.
        const bool countCategories = q.categoryId.empty();
        const auto count = [&](std::size_t i) {
            if (countCategories) {
                const auto category = static_cast<std::size_t>(c.category(i));
                if (category < counts.categories.size()) ++counts.categories[category];
            }
            const std::uint16_t province = c.province(i);
            const std::uint16_t place = province ? province : c.city(i);
            if (place < counts.places.size()) ++counts.places[place];
            for (unsigned flags = c.services(i); flags; flags &= flags - 1) {
                const auto f = static_cast<std::size_t>(std::countr_zero(flags));
                if (f < counts.services.size()) ++counts.services[f];
            }
            // The range above the last edge not past the price; one on an edge is in the range below too.
            const std::int64_t yuanFen = c.price(i);
            std::size_t b = 0;
            while (b < std::size(SearchCounts::PriceEdgesYuan) && yuanFen > SearchCounts::PriceEdgesYuan[b] * 100) ++b;
            if (yuanFen >= 0) ++counts.prices[b];
            if (b < std::size(SearchCounts::PriceEdgesYuan) && yuanFen == SearchCounts::PriceEdgesYuan[b] * 100) {
                ++counts.prices[b + 1];
            }
        };

        const auto consider = [&](Xapian::docid doc) {
            const std::size_t i = doc - 1;
            const std::int64_t price = c.price(i);
            if (price < q.priceFromFen || price > q.priceToFen) return;
            const int credit = c.credit(i);
            if (credit < q.creditFrom || credit > q.creditTo) return;
            if ((c.services(i) & services) != services) return;
            if (!placeWanted.empty()) {
                const std::uint16_t province = c.province(i), city = c.city(i);
                const bool there = (province < placeWanted.size() && placeWanted[province]) ||
                                   (city < placeWanted.size() && placeWanted[city]);
                if (!there) return;
            }
            if (!checks.empty()) {
                const std::string_view title = c.loweredTitle(i);
                for (const auto& w : checks) {
                    if (title.find(w) == std::string_view::npos) return;
                }
            }
            ++result.total;
            if (q.counts) count(i);
            if (q.totalOnly) return;
            const Ranked r{sortKey(c, i, q.sort), doc};
            if (best.size() < keep) {
                best.push(r);
            } else if (r < best.top()) {
                best.pop();
                best.push(r);
            }
        };

        if (terms.empty()) {
            for (Xapian::docid d = 1; d <= c.size(); ++d) consider(d);
        } else {
            // Intersect the postings, rarest first, leaping ahead with skip_to.
            std::vector<std::pair<Xapian::doccount, std::string>> byFrequency;
            for (const auto& t : terms) byFrequency.emplace_back(db.get_termfreq(t), t);
            std::sort(byFrequency.begin(), byFrequency.end());
            if (byFrequency.front().first > 0) {
                std::vector<Xapian::PostingIterator> lists;
                for (const auto& [freq, t] : byFrequency) lists.push_back(db.postlist_begin(t));
                const Xapian::PostingIterator end = db.postlist_end(byFrequency.front().second);
                Xapian::PostingIterator& driver = lists.front();
                while (driver != end) {
                    const Xapian::docid d = *driver;
                    Xapian::docid ahead = d;
                    bool exhausted = false;
                    for (std::size_t k = 1; k < lists.size(); ++k) {
                        lists[k].skip_to(d);
                        if (lists[k] == db.postlist_end(byFrequency[k].second)) {
                            exhausted = true;
                            break;
                        }
                        if (*lists[k] != d) {
                            ahead = *lists[k];
                            break;
                        }
                    }
                    if (exhausted) break;
                    if (ahead == d) {
                        consider(d);
                        ++driver;
                    } else {
                        driver.skip_to(ahead);
                    }
                }
            }
        }

        std::vector<Ranked> page;
        page.reserve(best.size());
        while (!best.empty()) {
            page.push_back(best.top());
            best.pop();
        }
        std::reverse(page.begin(), page.end());
        const std::size_t first = static_cast<std::size_t>(q.page - 1) * static_cast<std::size_t>(q.size);
        for (std::size_t k = first; k < page.size(); ++k) result.items.push_back(itemRecord(page[k].doc - 1));
        if (q.counts) {
            if (!countCategories) {
                if (const auto row = CategoryTable().indexOfCode(q.categoryId)) counts.categories[static_cast<std::size_t>(*row)] = result.total;
            }
            for (std::uint16_t id = 0; id < c.placeCount(); ++id) counts.placeNames.emplace_back(c.placeName(id));
            result.counts = std::move(counts);
        }
        return result;
    } catch (const Xapian::Error& e) {
        throw CatalogError("the catalog cannot be read: " + e.get_description());
    }
}

}  // namespace quorvel

namespace quorvel {

std::vector<CatalogIndex::Suggestion> CatalogIndex::suggest(std::string_view text, std::size_t limit) const {
    // The titles' own word counts pick the candidates; each is then counted
    // as a search for it counts (a word is found inside longer words too).
    std::vector<Suggestion> out;
    for (const auto& candidate : m_words.matching(text, limit)) {
        {
            // A word's count does not change while this catalog serves: counted once.
            std::lock_guard lock(m_suggestMutex);
            if (const auto known = m_wordItems.find(std::string(candidate.word)); known != m_wordItems.end()) {
                out.push_back({std::string(candidate.word), known->second});
                continue;
            }
        }
        const TitleTerms::Word word = TitleTerms::ofWord(candidate.word);
        std::uint64_t items = 0;
        if (!word.needsCheck && word.terms.size() == 1) {
            // One or two characters: the index's own count of the term is exact.
            auto lease = takeReader();
            try {
                items = lease->get_termfreq(word.terms.front());
            } catch (const Xapian::Error& e) {
                throw CatalogError("the catalog cannot be read: " + e.get_description());
            }
            giveBack(std::move(lease));
        } else {
            SearchQuery q;
            q.words = {std::string(candidate.word)};
            q.totalOnly = true;
            items = search(q).total;
        }
        {
            std::lock_guard lock(m_suggestMutex);
            m_wordItems.emplace(std::string(candidate.word), items);
        }
        out.push_back({std::string(candidate.word), items});
    }
    std::stable_sort(out.begin(), out.end(), [](const Suggestion& a, const Suggestion& b) { return a.items > b.items; });
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace quorvel
