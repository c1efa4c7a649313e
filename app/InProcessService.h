#pragma once

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

    // Throws std::runtime_error with a readable reason when it cannot start.
    void start();
    void stop();
    QUrl homePageUrl() const;

private:
    std::unique_ptr<ResultsService> m_service;
};

}  // namespace quorvel
