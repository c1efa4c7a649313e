// Start-up: the program (service, catalog, window, page) against a bare
// browser view loading the same page from the same kind of server, each in a
// fresh process, alternating, in the same run. Two figures each: start to a
// shown (painted) window, and start to a usable one (the bare view's page
// loaded; the program's quick search enabled). Targets: the window shows
// within 1.25 times the bare view at any catalog size; the quick search is
// enabled within 1.25 times the bare view at 1,000,000 items.
//   bench/startup [--runs N] [--catalog DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QPushButton>
#include <QWebEngineView>

#include "CatalogIndex.h"
#include "InProcessService.h"
#include "ResultsService.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebEngineSetup.h"

using namespace quorvel;
using Clock = std::chrono::steady_clock;

namespace {

const Clock::time_point g_start = Clock::now();  // as early as this process can tell
double g_shownMs = -1;

double sinceStart() { return std::chrono::duration<double, std::milli>(Clock::now() - g_start).count(); }

// Notes the first paint of any widget: the moment the user sees the window.
class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && g_shownMs < 0) g_shownMs = sinceStart();
        return QObject::eventFilter(watched, event);
    }
};

void finish() {
    std::printf("%.1f %.1f\n", g_shownMs, sinceStart());
    std::fflush(stdout);
    QApplication::exit(0);
}

int bare(int argc, char* argv[]) {
    PrepareWebEngine();
    QApplication app(argc, argv);
    ResultsService service;  // the same page, from the same kind of server
    service.start("127.0.0.1", 0);
    QWebEngineView view;
    FirstPaint painted;
    app.installEventFilter(&painted);
    view.resize(777, 613);
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, [] { finish(); });
    view.load(QUrl(QString::fromStdString(service.pageUrl())));
    view.show();
    return QApplication::exec();
}

int program(int argc, char* argv[], const char* catalog) {
    PrepareWebEngine();
    QApplication app(argc, argv);
    InProcessService service;
    service.start(catalog);
    TForm1 form(service.homePageUrl());
    form.catalogOpening();
    QObject::connect(&service, &InProcessService::catalogOpened, &form, &TForm1::catalogOpened);
    FirstPaint painted;
    app.installEventFilter(&painted);
    QPushButton* soso = form.panel()->m_soso;
    // The button is enabled by whichever of page and catalog comes last.
    auto check = [soso] {
        if (soso->isEnabled()) finish();
    };
    QObject::connect(form.web(), &QWebEngineView::loadFinished, &app, check, Qt::QueuedConnection);
    QObject::connect(&service, &InProcessService::catalogOpened, &app, check, Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}

struct Run {
    double shown = -1;
    double usable = -1;
};

Run child(const QString& mode, const QString& catalog) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {mode, catalog});
    p.waitForFinished(120000);
    const QList<QByteArray> parts = p.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 2) return {};
    return {parts[0].toDouble(), parts[1].toDouble()};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && QByteArray(argv[1]) == "bare") return bare(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "program") return program(argc, argv, argv[2]);
    int runs = 10;
    QString catalog = QStringLiteral(QUORVEL_SAMPLE_CATALOG_DIR);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (QByteArray(argv[i]) == "--runs") runs = std::max(1, atoi(argv[i + 1]));
        else if (QByteArray(argv[i]) == "--catalog") catalog = QString::fromLocal8Bit(argv[i + 1]);
    }

    QCoreApplication app(argc, argv);
    std::size_t items = 0;
    try {
        items = CatalogIndex::open(catalog.toStdString())->size();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup: %s\n", e.what());
        return 1;
    }
    std::vector<double> bareShown, bareUsable, shown, usable;
    for (int i = 0; i < runs; ++i) {
        const Run b = child(QStringLiteral("bare"), catalog);
        const Run p = child(QStringLiteral("program"), catalog);
        if (b.usable < 0 || p.usable < 0) {
            std::fprintf(stderr, "startup: a run did not finish\n");
            return 1;
        }
        bareShown.push_back(b.shown);
        bareUsable.push_back(b.usable);
        shown.push_back(p.shown);
        usable.push_back(p.usable);
    }
    const double bs = median(bareShown), bu = median(bareUsable), ps = median(shown), pu = median(usable);
    std::printf("catalog: %zu items; medians of %d runs each\n", items, runs);
    std::printf("%-34s %10s %10s\n", "", "shown", "usable");
    std::printf("%-34s %8.1fms %8.1fms\n", "bare view (page loaded)", bs, bu);
    std::printf("%-34s %8.1fms %8.1fms\n", "Quorvel (quick search enabled)", ps, pu);
    std::printf("%-34s %9.2fx %9.2fx\n", "ratio", ps / bs, pu / bu);
    std::printf("targets: shown <= 1.25x: %s; enabled <= 1.25x: %s\n", ps / bs <= 1.25 ? "met" : "NOT met",
                pu / bu <= 1.25 ? "met" : "NOT met");
    return 0;
}
