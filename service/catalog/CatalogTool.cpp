// quorvel-catalog: builds catalogs for the results service.
//   quorvel-catalog import FEED [--into DIR]
//   quorvel-catalog sample --items N --into DIR
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "CatalogError.h"
#include "CatalogWriter.h"
#include "DataPaths.h"
#include "FeedImporter.h"
#include "FeedParser.h"
#include "SampleCatalog.h"
#include "StopSignal.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace quorvel;

namespace {

using Clock = std::chrono::steady_clock;

int usage() {
    std::cerr << "usage:\n"
                 "  quorvel-catalog import FEED [--into DIR] [--allow-empty]\n"
                 "                                             build a catalog from a JSON Lines feed\n"
                 "                                             (DIR defaults to "
              << (UserCatalogDir().empty() ? std::string("none: no home folder") : UserCatalogDir().string())
              << ",\n"
                 "                                             where the program picks it up; a feed\n"
                 "                                             without items is refused unless --allow-empty)\n"
                 "  quorvel-catalog sample --items N --into DIR   write the deterministic sample catalog\n";
    return 2;
}

std::string grouped(std::uint64_t n) {
    std::string s = std::to_string(n);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<std::size_t>(i), ",");
    return s;
}

std::string clock(double seconds) {
    const auto s = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

// One status line, rewritten in place, on a terminal only.
class Progress {
public:
    explicit Progress(std::string phase) : m_phase(std::move(phase)), m_tty(isatty(fileno(stderr))) {}

    void show(std::uint64_t done, std::uint64_t total, const char* unit) {
        if (!m_tty) return;
        const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
        const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0.0;
        std::string line = "\r" + m_phase + ": " + grouped(done) + " " + unit;
        if (rate > 0) line += ", " + grouped(static_cast<std::uint64_t>(rate)) + "/s";
        if (rate > 0 && total > done) line += ", " + clock(static_cast<double>(total - done) / rate) + " left";
        std::cerr << line << "    " << std::flush;
    }
    void done() {
        if (m_tty) std::cerr << "\n";
    }

private:
    std::string m_phase;
    bool m_tty;
    Clock::time_point m_start = Clock::now();
};

void writeCatalog(const fs::path& into, std::vector<CatalogItem> items) {
    Progress indexing("indexing");
    CatalogWriter::write(
        into, std::move(items), [&](std::size_t done, std::size_t total) { indexing.show(done, total, "items"); },
        &StopSignal::flag());
    indexing.done();
}

int importFeed(const fs::path& feedPath, const fs::path& into, bool allowEmpty) {
    std::ifstream feed(feedPath, std::ios::binary);
    if (!feed) {
        std::cerr << "quorvel-catalog: cannot open the feed " << feedPath.string() << "\n";
        return 1;
    }
    std::error_code ec;
    const auto totalBytes = fs::file_size(feedPath, ec);
    const auto started = Clock::now();

    FeedImporter::Summary summary;
    Progress reading("reading");
    std::vector<CatalogItem> items = FeedImporter::read(
        feed, summary, [&](std::uint64_t bytes, std::uint64_t) { reading.show(bytes >> 10, totalBytes >> 10, "KiB"); },
        &StopSignal::flag());
    reading.done();
    const std::size_t count = items.size();
    if (count == 0 && !allowEmpty) {
        std::cerr << "quorvel-catalog: the feed has no items, nothing was changed (--allow-empty empties the catalog)\n";
        return 1;
    }
    writeCatalog(into, std::move(items));

    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::cout << "Imported " << grouped(count) << " items from " << grouped(summary.lines) << " lines into "
              << into.string() << " in " << clock(seconds) << " ("
              << grouped(static_cast<std::uint64_t>(static_cast<double>(count) / std::max(seconds, 1e-3)))
              << " items/s); " << grouped(summary.duplicates)
              << " lines repeated an earlier id and replaced it.\n";
    return 0;
}

int sample(std::uint64_t count, const fs::path& into) {
    const auto started = Clock::now();
    writeCatalog(into, SampleCatalog::generate(count));
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::cout << "Wrote the sample catalog of " << grouped(count) << " items into " << into.string() << " in "
              << clock(seconds) << ".\n";
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    StopSignal::install();
    if (argc < 2) return usage();
    const std::string command = argv[1];
    fs::path into;
    fs::path feed;
    std::uint64_t items = 0;
    bool allowEmpty = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--into" && i + 1 < argc) {
            into = argv[++i];
        } else if (arg == "--items" && i + 1 < argc) {
            const std::string count = argv[++i];
            const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), items);
            if (count.empty() || error != std::errc() || end != count.data() + count.size() || items == 0) {
                std::cerr << "quorvel-catalog: --items takes a whole number from 1 up, not \"" << count << "\"\n";
                return 2;
            }
        } else if (arg == "--allow-empty" && command == "import") {
            allowEmpty = true;
        } else if (command == "import" && feed.empty() && arg.rfind("--", 0) != 0) {
            feed = arg;
        } else {
            std::cerr << "quorvel-catalog: unexpected argument " << arg << "\n";
            return usage();
        }
    }
    try {
        if (command == "import") {
            if (feed.empty()) return usage();
            if (into.empty()) into = UserCatalogDir();
            if (into.empty()) {
                std::cerr << "quorvel-catalog: no home folder to put the catalog in; name a folder with --into\n";
                return 2;
            }
            return importFeed(feed, into, allowEmpty);
        }
        if (command == "sample") {
            if (into.empty() || items == 0) return usage();
            return sample(items, into);
        }
        return usage();
    } catch (const FeedError& e) {
        std::cerr << "\nquorvel-catalog: the feed has a bad line, nothing was changed: " << e.what() << "\n";
        return 1;
    } catch (const CatalogError& e) {
        std::cerr << "\nquorvel-catalog: " << e.what() << "; the previous catalog, if any, is unchanged\n";
        return StopSignal::requested() ? 130 : 1;
    } catch (const std::exception& e) {
        std::cerr << "\nquorvel-catalog: " << e.what() << "\n";
        return 1;
    }
}
