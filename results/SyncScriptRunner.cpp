#include "SyncScriptRunner.h"

#include <memory>

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

namespace quorvel {

SyncScriptRunner::SyncScriptRunner(QWebEnginePage* page, std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), m_page(page), m_timeout(timeout) {}

SyncScriptRunner::Outcome SyncScriptRunner::run(const QString& script) {
    if (m_busy) return {Status::Busy, {}};
    m_busy = true;

    // The callback may come after we gave up (timeout); it then finds the loop
    // gone and the state owned by nobody else, and must not quit a later call.
    struct State {
        bool answered = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    bool rendererGone = false;

    m_page->runJavaScript(script, [state](const QVariant& value) {
        state->answered = true;
        state->value = value;
        if (state->loop) state->loop->quit();
    });

    if (!state->answered) {
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        const auto gone = connect(m_page, &QWebEnginePage::renderProcessTerminated, &loop,
                                  [&loop, &rendererGone] { rendererGone = true; loop.quit(); });
        timer.start(m_timeout);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        disconnect(gone);
    }
    state->loop = nullptr;
    m_busy = false;

    if (state->answered) return {Status::Answered, state->value};
    return {rendererGone ? Status::RendererGone : Status::TimedOut, {}};
}

}  // namespace quorvel
