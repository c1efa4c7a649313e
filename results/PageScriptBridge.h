#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include <QJsonArray>
#include <QObject>
#include <QUrl>

#include "PageScript.h"

class QWebEnginePage;

namespace quorvel {

class SyncScriptRunner;

// Calls the results page loaded in the embedded browser, synchronously and
// through one guarded path. Recovers a page whose renderer died or hung by
// loading the home page again.
class PageScriptBridge : public QObject, public PageScript {
    Q_OBJECT
public:
    // The page's functions answer in milliseconds; a renderer busy with a big
    // page for a few seconds is alive and keeps the user's tabs. Only one that
    // stays silent far longer than that is taken for hung.
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    PageScriptBridge(QWebEnginePage* page, QUrl homePage,
                     std::chrono::milliseconds timeout = DefaultTimeout, QObject* parent = nullptr);

    // Ends a hung renderer's process (the program's platform adapter); true
    // when it did. Without one, a hung page is loaded again at once.
    using RendererKiller = std::function<bool(qint64 pid)>;
    void setRendererKiller(RendererKiller kill) { m_kill = std::move(kill); }

    std::optional<int> SoItem(const QString& query, int n) override;
    bool ShowPage(int index) override;
    std::optional<int> DelPage(int index) override;
    std::optional<int> ResultCount(int index) override;

    // Calls window[name](...args) on the page; the converted answer or nullopt.
    std::optional<int> callForIndex(const QString& name, const QJsonArray& args);

signals:
    // The result pages are gone (renderer lost, page loaded again): the tabs
    // that stood for them must go too.
    void pageLost();

private:
    QVariant call(const QString& name, const QJsonArray& args);
    void recover();
    void onRendererTerminated();

    QWebEnginePage* m_page;
    QUrl m_homePage;
    SyncScriptRunner* m_runner;
    RendererKiller m_kill;
};

}  // namespace quorvel
