#pragma once

// The benchmarks' way to run a script in a page and wait for its value (or
// nothing after 10 s), and to let the event loop run for a while.
#include <memory>

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

namespace quorvel::bench {

inline QVariant RunInPage(QWebEnginePage* page, const QString& script) {
    // A late answer finds the state alone and the loop gone: it changes nothing.
    struct State {
        bool done = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    auto state = std::make_shared<State>();
    QEventLoop loop;
    state->loop = &loop;
    page->runJavaScript(script, [state](const QVariant& v) {
        state->value = v;
        state->done = true;
        if (state->loop) state->loop->quit();
    });
    if (!state->done) {
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state->loop = nullptr;
    return state->value;
}

inline void Settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace quorvel::bench
