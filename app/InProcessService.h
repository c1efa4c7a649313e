#pragma once

#include <filesystem>
#include <memory>

#include <QUrl>

namespace quorvel {

class ResultsService;

// The results service run inside the program, on 127.0.0.1 with a port the
// system picks, so the program works with no server of its own.
class InProcessService {
public:
    InProcessService();
    ~InProcessService();

    // The catalog the program searches: one the user imported into the data
    // folder, else the sample shipped beside the program.
    static std::filesystem::path defaultCatalog();

    // Throws std::runtime_error (CatalogError for the catalog) with a
    // readable reason naming what failed.
    void start(const std::filesystem::path& catalog);
    void stop();
    QUrl homePageUrl() const;

private:
    std::unique_ptr<ResultsService> m_service;
};

}  // namespace quorvel
