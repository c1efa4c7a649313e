#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include <QObject>
#include <QString>
#include <QUrl>

#include "CatalogHandle.h"

namespace quorvel {

class ResultsService;

// The results service run inside the program, on 127.0.0.1 with a port the
// system picks, so the program works with no server of its own. It listens
// at once and opens the catalog on a thread of its own: the window never
// waits for a large catalog, and a search made meanwhile is answered once
// the catalog is open.
class InProcessService : public QObject {
    Q_OBJECT
public:
    explicit InProcessService(QObject* parent = nullptr);
    ~InProcessService() override;

    // The catalog the program searches: one the user imported into the data
    // folder, else the sample shipped beside the program.
    static std::filesystem::path defaultCatalog();

    // Throws std::runtime_error with a readable reason when the service
    // cannot listen. The catalog's outcome arrives as a signal; open is a
    // seam for tests (by default the catalog is opened as it is).
    void start(const std::filesystem::path& catalog, CatalogHandle::Opener open = {});
    void stop();
    QUrl homePageUrl() const;

signals:
    void catalogOpened();
    void catalogFailed(const QString& reason);

private:
    struct Notifier;
    std::shared_ptr<Notifier> m_notifier;
    std::shared_ptr<CatalogHandle> m_catalog;
    std::unique_ptr<ResultsService> m_service;
};

}  // namespace quorvel
