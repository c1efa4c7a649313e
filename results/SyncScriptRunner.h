#pragma once

#include <chrono>

#include <QObject>
#include <QString>
#include <QVariant>

class QWebEnginePage;

namespace quorvel {

// The browser's script calls made synchronous: run a script on the page and
// wait for its value in a local event loop that takes no user input.
class SyncScriptRunner : public QObject {
    Q_OBJECT
public:
    enum class Status { Answered, TimedOut, RendererGone, Busy };
    struct Outcome {
        Status status;
        QVariant value;  // valid only when Answered
    };

    SyncScriptRunner(QWebEnginePage* page, std::chrono::milliseconds timeout, QObject* parent = nullptr);

    // Never re-enters: a call made while another waits answers Busy at once.
    Outcome run(const QString& script);

private:
    QWebEnginePage* m_page;
    std::chrono::milliseconds m_timeout;
    bool m_busy = false;
};

}  // namespace quorvel
