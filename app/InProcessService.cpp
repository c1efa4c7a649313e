#include "InProcessService.h"

#include <QCoreApplication>

#include "CatalogError.h"
#include "CatalogIndex.h"
#include "DataPaths.h"
#include "ResultsService.h"
#include "SearchApi.h"
#include "SuggestApi.h"

namespace quorvel {

// Carries the opening thread's outcome to the GUI thread while the service
// object lives; once it is gone, the outcome is dropped.
struct InProcessService::Notifier {
    std::mutex mutex;
    InProcessService* target;

    void tell(const std::exception_ptr& failure) {
        QString reason;
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const std::exception& e) {
                reason = QString::fromUtf8(e.what());
            } catch (...) {
                reason = QStringLiteral("the catalog could not be opened");
            }
        }
        std::lock_guard lock(mutex);
        if (!target) return;
        InProcessService* service = target;
        QMetaObject::invokeMethod(
            service, [service, failure = bool(failure), reason] {
                if (failure) emit service->catalogFailed(reason);
                else emit service->catalogOpened();
            },
            Qt::QueuedConnection);
    }
};

InProcessService::InProcessService(QObject* parent) : QObject(parent) {}

InProcessService::~InProcessService() {
    if (m_notifier) {
        std::lock_guard lock(m_notifier->mutex);
        m_notifier->target = nullptr;
    }
    stop();
}

std::filesystem::path InProcessService::defaultCatalog() {
    const std::filesystem::path user = UserCatalogDir();
    if (!user.empty() && CatalogIndex::exists(user)) return user;
    return BundledCatalogDir(QCoreApplication::applicationDirPath().toStdString());
}

void InProcessService::start(const std::filesystem::path& catalog, CatalogHandle::Opener open) {
    m_notifier = std::make_shared<Notifier>();
    m_notifier->target = this;
    m_catalog = CatalogHandle::openInBackground(
        catalog, std::move(open), [notifier = m_notifier](const std::exception_ptr& failure) { notifier->tell(failure); });
    m_service = std::make_unique<ResultsService>(SearchApi(std::shared_ptr<const CatalogHandle>(m_catalog)));
    m_service->setSuggest(SuggestApi(std::shared_ptr<const CatalogHandle>(m_catalog)));
    m_service->start("127.0.0.1", 0);
}

void InProcessService::stop() {
    if (m_service) m_service->stop();
}

QUrl InProcessService::homePageUrl() const {
    return m_service ? QUrl(QString::fromStdString(m_service->pageUrl())) : QUrl();
}

}  // namespace quorvel
