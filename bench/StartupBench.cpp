// Start to quick search enabled: the program (service, catalog, window, page)
// against a bare browser view loading the same page, each in a fresh
// process, alternating, in the same run. Target: at most 1.25 times the bare view.
//   bench/startup [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>

#include "InProcessService.h"
#include "ResultsService.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebEngineSetup.h"

using namespace quorvel;
using Clock = std::chrono::steady_clock;

namespace {

const Clock::time_point g_start = Clock::now();  // as early as this process can tell

int finish() {
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(Clock::now() - g_start).count());
    std::fflush(stdout);
    QApplication::exit(0);
    return 0;
}

int bare(int argc, char* argv[]) {
    PrepareWebEngine();
    QApplication app(argc, argv);
    ResultsService service;  // the same page, from the same kind of server
    service.start("127.0.0.1", 0);
    QWebEngineView view;
    view.resize(777, 613);
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, [] { finish(); });
    view.load(QUrl(QString::fromStdString(service.pageUrl())));
    view.show();
    return QApplication::exec();
}

int program(int argc, char* argv[]) {
    PrepareWebEngine();
    QApplication app(argc, argv);
    InProcessService service;
    service.start(QUORVEL_SAMPLE_CATALOG_DIR);
    TForm1 form(service.homePageUrl());
    QPushButton* soso = form.panel()->m_soso;
    QObject::connect(form.web(), &QWebEngineView::loadFinished, &app, [soso] {
        if (soso->isEnabled()) finish();
    });
    form.show();
    return QApplication::exec();
}

double child(const QString& mode) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {mode});
    p.waitForFinished(60000);
    return p.readAllStandardOutput().trimmed().toDouble();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "bare") return bare(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "program") return program(argc, argv);
    int runs = 10;
    if (argc > 2 && QByteArray(argv[1]) == "--runs") runs = std::max(1, atoi(argv[2]));

    QCoreApplication app(argc, argv);
    std::vector<double> bareMs, programMs;
    for (int i = 0; i < runs; ++i) {
        bareMs.push_back(child(QStringLiteral("bare")));
        programMs.push_back(child(QStringLiteral("program")));
    }
    const double b = median(bareMs), p = median(programMs);
    std::printf("bare view, page loaded:            median %7.1f ms (%d runs)\n", b, runs);
    std::printf("Quorvel, quick search enabled:     median %7.1f ms\n", p);
    std::printf("ratio %.2f (target <= 1.25): %s\n", p / b, p / b <= 1.25 ? "met" : "NOT met");
    return 0;
}
