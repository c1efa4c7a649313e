#pragma once

// A real catalog built from the small fixture feed in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "CatalogIndex.h"
#include "CatalogWriter.h"
#include "FeedImporter.h"

namespace quorvel::testing {

inline std::filesystem::path FixtureFeed() { return std::filesystem::path(QUORVEL_FIXTURES_DIR) / "catalog.jsonl"; }

class TempDir {
public:
    TempDir() {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() / ("quorvel-test-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::shared_ptr<const CatalogIndex> BuildFixtureCatalog(const std::filesystem::path& dir) {
    std::ifstream feed(FixtureFeed());
    FeedImporter::Summary summary;
    CatalogWriter::write(dir, FeedImporter::read(feed, summary));
    return CatalogIndex::open(dir);
}

// A test suite sharing one fixture catalog, built once for the suite.
class FixtureCatalogSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<TempDir>();
        s_index = BuildFixtureCatalog(s_dir->path());
    }
    static void TearDownTestSuite() {
        s_index.reset();
        s_dir.reset();
    }

    static inline std::unique_ptr<TempDir> s_dir;
    static inline std::shared_ptr<const CatalogIndex> s_index;
};

}  // namespace quorvel::testing
