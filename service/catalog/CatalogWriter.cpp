#include "CatalogWriter.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <string>
#include <string_view>

#include <xapian.h>
#include <xxhash.h>

#include <nlohmann/json.hpp>

#include "ColumnsBuilder.h"
#include "ColumnsFormat.h"
#include "CatalogError.h"
#include "CatalogFolder.h"
#include "ItemRecord.h"
#include "SuggestionWords.h"
#include "FileLock.h"
#include "TermPrefixes.h"
#include "TitleTerms.h"

namespace fs = std::filesystem;

namespace quorvel {
namespace {

constexpr std::size_t kCommitEvery = 250000;  // bounds the writer's memory on large imports
constexpr std::size_t kBatch = 2000;

struct Batch {
    std::vector<Xapian::Document> docs;
    std::string records;  // the items as the API returns them, one line each
    std::vector<std::size_t> recordSizes;
};

Batch prepareBatch(const std::vector<CatalogItem>& items, std::size_t begin, std::size_t end) {
    Batch batch;
    batch.docs.reserve(end - begin);
    batch.recordSizes.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        const CatalogItem& item = items[i];
        Xapian::Document doc;
        for (const auto& term : TitleTerms::ofTitle(item.title)) doc.add_boolean_term(term);
        doc.add_boolean_term(TermPrefixes::category(item.categoryId));
        for (std::size_t f = 0; f < ServiceFilterTable().size(); ++f) {
            if (item.services & (1u << f)) doc.add_boolean_term(TermPrefixes::service(ServiceFilterTable()[f].name));
        }
        batch.docs.push_back(std::move(doc));
        const std::size_t before = batch.records.size();
        batch.records += ItemRecord(item);
        batch.records += '\n';
        batch.recordSizes.push_back(batch.records.size() - before);
    }
    return batch;
}

// The checksums of the records file, block by block, as it is written.
class BlockSums {
public:
    BlockSums() : m_state(XXH3_createState(), &XXH3_freeState) { XXH3_64bits_reset(m_state.get()); }

    void add(std::string_view bytes) {
        while (!bytes.empty()) {
            const std::size_t take = std::min<std::size_t>(bytes.size(), ColumnsLayout::RecordBlockBytes - m_filled);
            XXH3_64bits_update(m_state.get(), bytes.data(), take);
            m_filled += take;
            bytes.remove_prefix(take);
            if (m_filled == ColumnsLayout::RecordBlockBytes) closeBlock();
        }
    }
    std::vector<std::uint64_t> finish() {
        if (m_filled > 0) closeBlock();
        return std::move(m_sums);
    }

private:
    void closeBlock() {
        m_sums.push_back(XXH3_64bits_digest(m_state.get()));
        XXH3_64bits_reset(m_state.get());
        m_filled = 0;
    }

    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> m_state;
    std::size_t m_filled = 0;
    std::vector<std::uint64_t> m_sums;
};

std::string newGenerationName() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::random_device random;
    return std::string(CatalogFolder::GenerationPrefix) + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()) + "-" +
           std::to_string(random() % 100000);
}

void writeTextFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) throw CatalogError("cannot write " + file.string());
}

void removeQuietly(const fs::path& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

}  // namespace

void CatalogWriter::write(const fs::path& dir, std::vector<CatalogItem> items, const Progress& progress,
                          const std::atomic<bool>* cancel) {
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i].id == items[i - 1].id) {
            throw CatalogError("item id " + std::to_string(items[i].id) + " occurs twice");
        }
    }

    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw CatalogError("cannot create the catalog folder " + dir.string() + ": " + ec.message());
    // One import at a time per folder, across processes: a second one would
    // clean up the first one's work.
    const auto importing = FileLock::tryLock(dir / CatalogFolder::LockFile, FileLock::Mode::Exclusive, true);
    if (!importing) {
        throw CatalogError("another import into " + dir.string() +
                           " is running; try again when it has finished");
    }
    // Leftovers of writes that were killed before they could clean up.
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.path().extension() == ".partial") removeQuietly(entry.path());
    }

    const std::string generation = newGenerationName();
    const fs::path partial = dir / (generation + ".partial");
    try {
        fs::create_directories(partial);
        ColumnsBuilder columns;
        columns.reserve(items.size());
        {
            // Item records go to a plain file, not the index's document data:
            // the index compresses every record, which costs more than the rest of a write.
            std::ofstream records(partial / CatalogFolder::RecordsFile, std::ios::binary | std::ios::trunc);
            BlockSums sums;
            Xapian::WritableDatabase db((partial / CatalogFolder::IndexFolder).string(),
                                        Xapian::DB_CREATE | Xapian::DB_NO_TERMLIST | Xapian::DB_BACKEND_GLASS);
            // Documents and records are prepared a batch ahead on the second
            // core while this thread feeds the index, which only one thread may do.
            auto next = std::async(std::launch::async, prepareBatch, std::cref(items), 0,
                                   std::min(kBatch, items.size()));
            for (std::size_t begin = 0; begin < items.size(); begin += kBatch) {
                Batch batch = next.get();
                const std::size_t following = begin + kBatch;
                if (following < items.size()) {
                    next = std::async(std::launch::async, prepareBatch, std::cref(items), following,
                                      std::min(following + kBatch, items.size()));
                }
                if (cancel && cancel->load()) throw CatalogError("the catalog write was interrupted");
                records.write(batch.records.data(), static_cast<std::streamsize>(batch.records.size()));
                sums.add(batch.records);
                for (std::size_t k = 0; k < batch.docs.size(); ++k) {
                    db.add_document(batch.docs[k]);  // document id = position + 1: the columns' order
                    columns.add(items[begin + k], batch.recordSizes[k]);
                }
                const std::size_t done = begin + batch.docs.size();
                if (done % kCommitEvery < kBatch) db.commit();
                if (progress) progress(done, items.size());
            }
            db.commit();
            db.close();
            records.flush();
            if (!records) throw CatalogError("cannot write the item records in " + partial.string() + " (disk full?)");
            columns.setRecordSums(sums.finish());
        }
        columns.write(partial / CatalogFolder::ColumnsFile);
        SuggestionWords::Builder words;
        for (const auto& item : items) words.addTitle(item.title);
        words.write(partial / CatalogFolder::WordsFile);
        // For people looking at the folder; the column file's own mark is what is checked.
        nlohmann::json meta{{"format", ColumnsLayout::Version}, {"items", items.size()}};
        writeTextFile(partial / "catalog.json", meta.dump(2) + "\n");

        // Everything of the generation reaches the disk before CURRENT names
        // it, so that a power cut never leaves CURRENT naming missing files.
        for (const auto& entry : fs::recursive_directory_iterator(partial)) SyncToDisk(entry.path());
        SyncToDisk(partial);
        const fs::path finished = dir / generation;
        fs::rename(partial, finished);
        SyncToDisk(dir);
        const fs::path currentTmp = dir / (std::string(CatalogFolder::CurrentFile) + ".tmp");
        writeTextFile(currentTmp, generation + "\n");
        SyncToDisk(currentTmp);
        fs::rename(currentTmp, dir / CatalogFolder::CurrentFile);  // the switch: one atomic rename
        SyncToDisk(dir);
    } catch (const Xapian::Error& e) {
        removeQuietly(partial);
        throw CatalogError("cannot write the catalog index in " + dir.string() + ": " + e.get_description());
    } catch (const fs::filesystem_error& e) {
        removeQuietly(partial);
        throw CatalogError("cannot write the catalog in " + dir.string() + ": " + e.what());
    } catch (...) {
        removeQuietly(partial);
        throw;
    }

    // Older generations go once no running service reads them (a service
    // holds its generation's lock); those still in use go on a later import.
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.rfind(CatalogFolder::GenerationPrefix, 0) != 0 || name == generation) continue;
        std::unique_ptr<FileLock> unused;
        try {
            unused = FileLock::tryLock(entry.path() / CatalogFolder::ColumnsFile, FileLock::Mode::Exclusive);
        } catch (const CatalogError&) {
            removeQuietly(entry.path());  // not a whole generation: nobody can read it
            continue;
        }
        if (unused) removeQuietly(entry.path());
    }
}

}  // namespace quorvel
