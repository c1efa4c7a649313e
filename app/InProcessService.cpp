#include "InProcessService.h"

#include <QCoreApplication>

#include "CatalogIndex.h"
#include "DataPaths.h"
#include "ResultsService.h"
#include "SearchApi.h"

namespace quorvel {

InProcessService::InProcessService() = default;

InProcessService::~InProcessService() { stop(); }

std::filesystem::path InProcessService::defaultCatalog() {
    const std::filesystem::path user = UserCatalogDir();
    if (CatalogIndex::exists(user)) return user;
    return BundledCatalogDir(QCoreApplication::applicationDirPath().toStdString());
}

void InProcessService::start(const std::filesystem::path& catalog) {
    m_service = std::make_unique<ResultsService>(SearchApi(CatalogIndex::open(catalog)));
    m_service->start("127.0.0.1", 0);
}

void InProcessService::stop() {
    if (m_service) m_service->stop();
}

QUrl InProcessService::homePageUrl() const {
    return m_service ? QUrl(QString::fromStdString(m_service->pageUrl())) : QUrl();
}

}  // namespace quorvel
