#include "InProcessService.h"

#include "ResultsService.h"

namespace quorvel {

InProcessService::InProcessService() = default;

InProcessService::~InProcessService() { stop(); }

void InProcessService::start() {
    m_service = std::make_unique<ResultsService>();
    m_service->start("127.0.0.1", 0);
}

void InProcessService::stop() {
    if (m_service) m_service->stop();
}

QUrl InProcessService::homePageUrl() const {
    return m_service ? QUrl(QString::fromStdString(m_service->pageUrl())) : QUrl();
}

}  // namespace quorvel
