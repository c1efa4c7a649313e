// Click to painted results: in the real program (real window offscreen, real
// browser engine, in-process service), the time from the quick search's
// click to the frame after the result cards are in the page, for new
// searches and for repeated ones, beside the index's own time for the same
// queries. Target: p95 at most 16 ms (one frame at 60 Hz) at 1,000,000 items.
//   bench/clicks [--catalog DIR] [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "CatalogIndex.h"
#include "InProcessService.h"
#include "KeywordSuggestions.h"
#include "PriceSpinEdit.h"
#include "QueryBuilder.h"
#include "ResultTabStrip.h"
#include "SearchPanel.h"
#include "SearchRequest.h"
#include "Unit1.h"
#include "RunInPage.h"
#include "WebEngineSetup.h"

using namespace quorvel;

namespace {

// Notes, in the page, the moment after the frame that first shows result
// cards (a task posted from the animation frame runs once it is painted),
// and tells it through the page's title: no polling to disturb the timing.
const char kMarker[] = R"JS(
new MutationObserver(() => {
  if (!document.querySelector('#view .grid .card')) return;
  requestAnimationFrame(() => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => { document.title = String(performance.timeOrigin + performance.now()); };
    channel.port2.postMessage(0);
  });
}).observe(document.getElementById('view'), { childList: true });
true)JS";


double epochMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// Clicks the quick search and waits for the page's paint mark.
double clickToPaint(TForm1& form) {
    bench::Settle(30);  // the frame of whatever the page drew before passes
    double painted = 0;
    QEventLoop wait;
    const auto seen = QObject::connect(form.web(), &QWebEngineView::titleChanged, &wait, [&](const QString& title) {
        painted = title.toDouble();
        wait.quit();
    });
    const double clicked = epochMs();
    form.panel()->m_soso->click();
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    while (painted < clicked && wait.exec() == 0 && epochMs() - clicked < 10000) {
    }
    QObject::disconnect(seen);
    return painted >= clicked ? painted - clicked : -1;
}

// The engine's own time to show a change on this machine: one line of text
// changed in the page, from the change to after its frame is painted.
double changeToPaint(TForm1& form) {
    bench::Settle(30);
    double painted = 0;
    QEventLoop wait;
    const auto seen = QObject::connect(form.web(), &QWebEngineView::titleChanged, &wait, [&](const QString& title) {
        painted = title.toDouble();
        wait.quit();
    });
    const double changed = bench::RunInPage(form.web()->page(), QStringLiteral(R"JS((() => {
      const at = performance.timeOrigin + performance.now();
      document.querySelector('#view .took').textContent = String(at);
      requestAnimationFrame(() => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => { document.title = String(performance.timeOrigin + performance.now()); };
        channel.port2.postMessage(0);
      });
      return at;
    })())JS")).toDouble();
    QTimer::singleShot(10000, &wait, &QEventLoop::quit);
    while (painted < changed && wait.exec() == 0) {
    }
    QObject::disconnect(seen);
    return painted >= changed ? painted - changed : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareWebEngine();
    QApplication app(argc, argv);
    std::string catalog = QUORVEL_SAMPLE_CATALOG_DIR;
    int runs = 300;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--catalog") catalog = argv[i + 1];
        else if (arg == "--runs") runs = std::max(10, std::stoi(argv[i + 1]));
    }

    InProcessService service;
    bool opened = false;
    QObject::connect(&service, &InProcessService::catalogOpened, &app, [&opened] { opened = true; });
    QObject::connect(&service, &InProcessService::catalogFailed, &app, [](const QString& why) {
        std::fprintf(stderr, "clicks: %s\n", qPrintable(why));
        std::exit(1);
    });
    service.start(catalog);
    TForm1 form(service.homePageUrl());
    form.show();
    while (!opened || !form.panel()->m_soso->isEnabled()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    bench::RunInPage(form.web()->page(), QString::fromLatin1(kMarker));
    const auto index = CatalogIndex::open(catalog);

    const QStringList words{QStringLiteral("热卖"), QStringLiteral("包邮"), QStringLiteral("新款"), QStringLiteral("正品"),
                            QStringLiteral("连衣裙"), QStringLiteral("手机"), QStringLiteral("男装"), QStringLiteral("零食"),
                            QStringLiteral("手机壳"), QStringLiteral("运动鞋")};
    SearchPanel* panel = form.panel();
    std::vector<std::string> queries;
    const auto search = [&](const QString& word, int priceFrom) {
        panel->m_keyword->setText(word);
        panel->m_sp->setValue(priceFrom);
        queries.push_back(BuildQuery(panel->readSettings()).query + "&page=1&size=20");
        return clickToPaint(form);
    };

    // Warm up, and leave two pages open for the repeated searches.
    search(words[0], 0);
    search(words[1], 0);
    bench::Settle(500);

    std::vector<double> fresh, repeated;
    for (int r = 0; r < runs; ++r) {
        // A search no tab holds yet: fetched and drawn; then closed again.
        const double ms = search(words[r % words.size()], 1 + r / static_cast<int>(words.size()));
        if (ms < 0) {
            std::fprintf(stderr, "clicks: no paint after a new search (run %d, tabs %d, state %s, visibility %s)\n", r,
                         form.tabStrip()->count(),
                         qPrintable(bench::RunInPage(form.web()->page(), QStringLiteral("document.getElementById('view').dataset.state")).toString()),
                         qPrintable(bench::RunInPage(form.web()->page(), QStringLiteral("document.visibilityState + ' ' + window.__paints.length")).toString()));
            return 1;
        }
        fresh.push_back(ms);
        form.tabStrip()->closeSelectedByUser();
        // The same search as an open tab: that page is shown again.
        const double again = search(words[r % 2], 0);
        if (again < 0) {
            std::fprintf(stderr, "clicks: no paint after a repeated search (run %d, tabs %d, state %s, %s)\n", r,
                         form.tabStrip()->count(),
                         qPrintable(bench::RunInPage(form.web()->page(), QStringLiteral("document.getElementById('view').dataset.state")).toString()),
                         qPrintable(bench::RunInPage(form.web()->page(), QStringLiteral("document.visibilityState + ' ' + window.__paints.length + ' ' + document.querySelector('#view .grid .card h3').textContent")).toString()));
            return 1;
        }
        repeated.push_back(again);
    }

    // Suggestions: from the end of the pause after typing to the list shown.
    std::vector<double> suggestMs;
    {
        KeywordSuggestions* suggestions = form.suggestions();
        const QStringList typed{QStringLiteral("连"), QStringLiteral("手机"), QStringLiteral("热"), QStringLiteral("包"),
                                QStringLiteral("新款"), QStringLiteral("电"), QStringLiteral("零"), QStringLiteral("男")};
        std::chrono::steady_clock::time_point askedAt;
        QObject::connect(suggestions, &KeywordSuggestions::asked, &app, [&] { askedAt = std::chrono::steady_clock::now(); });
        panel->m_keyword->setFocus();
        for (int r = 0; r < std::max(20, runs / 3); ++r) {
            panel->m_keyword->clear();
            QEventLoop wait;
            const auto seen = QObject::connect(suggestions, &KeywordSuggestions::shown, &wait, &QEventLoop::quit);
            QInputMethodEvent committed;
            committed.setCommitString(typed[r % typed.size()]);
            QApplication::sendEvent(panel->m_keyword, &committed);
            QTimer::singleShot(5000, &wait, &QEventLoop::quit);
            wait.exec();
            QObject::disconnect(seen);
            suggestMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - askedAt).count());
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(panel->m_keyword, &escape);
        }
    }

    std::vector<double> floorMs;
    for (int r = 0; r < std::max(20, runs / 4); ++r) floorMs.push_back(changeToPaint(form));

    std::vector<double> indexMs;
    for (const auto& q : queries) {
        const SearchQuery parsed = SearchRequest::parse(q);
        const auto t = std::chrono::steady_clock::now();
        index->search(parsed);
        indexMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count());
    }

    const double i50 = percentile(indexMs, 0.5), i95 = percentile(indexMs, 0.95);
    std::printf("catalog: %zu items; %d searches of each kind\n", index->size(), runs);
    std::printf("%-40s %9s %9s %12s\n", "click to painted cards", "p50", "p95", "p95 / index");
    std::printf("%-40s %7.2fms %7.2fms %11.1fx\n", "new search (fetch + draw)", percentile(fresh, 0.5),
                percentile(fresh, 0.95), percentile(fresh, 0.95) / i95);
    std::printf("%-40s %7.2fms %7.2fms %11.1fx\n", "repeated search (page shown again)", percentile(repeated, 0.5),
                percentile(repeated, 0.95), percentile(repeated, 0.95) / i95);
    std::printf("%-40s %7.2fms %7.2fms\n", "the index alone, same queries", i50, i95);
    std::printf("%-40s %7.2fms %7.2fms\n", "the engine: a text change to its paint", percentile(floorMs, 0.5),
                percentile(floorMs, 0.95));
    const bool met = percentile(fresh, 0.95) <= 16.0 && percentile(repeated, 0.95) <= 16.0;
    std::printf("target (p95 <= 16 ms): %s\n", met ? "met" : "NOT met");
    std::printf("\nsuggestions, end of the typing pause to the list shown: p50 %.2f ms, p95 %.2f ms (target <= 30 ms): %s\n",
                percentile(suggestMs, 0.5), percentile(suggestMs, 0.95), percentile(suggestMs, 0.95) <= 30.0 ? "met" : "NOT met");
    return 0;
}
