#pragma once

#include <chrono>
#include <optional>

#include <QJsonArray>
#include <QObject>
#include <QUrl>

#include "ResultsPage.h"

class QWebEnginePage;

namespace quorvel {

class SyncScriptRunner;

// Calls the results page loaded in the embedded browser, synchronously and
// through one guarded path. Recovers a page whose renderer died or hung by
// loading the home page again.
class ResultsPageBridge : public QObject, public ResultsPage {
    Q_OBJECT
public:
    // The page's functions answer in milliseconds; a renderer busy with a big
    // page for a few seconds is alive and keeps the user's tabs. Only one that
    // stays silent far longer than that is taken for hung.
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    ResultsPageBridge(QWebEnginePage* page, QUrl homePage,
                      std::chrono::milliseconds timeout = DefaultTimeout, QObject* parent = nullptr);

    std::optional<int> SoItem(const QString& query, int n) override;
    bool ShowPage(int index) override;
    std::optional<int> DelPage(int index) override;

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
};

}  // namespace quorvel
