// Memory of the results page with many result pages open: 1 page against 50,
// in the real browser engine over the in-process service and sample catalog.
// Prints the page's JS heap after a full garbage collection, its DOM nodes,
// and the renderer's resident memory (Linux). Target: 50 pages within 1.2
// times the memory of one.
//   bench/pages
#include <cstdio>
#include <fstream>
#include <string>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

#include "InProcessService.h"
#include "PageScriptBridge.h"
#include "RunInPage.h"
#include "WebEngineSetup.h"

using namespace quorvel;

namespace {


long residentKiB(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

struct Reading {
    double heapMiB;
    int nodes;
    long rssKiB;
};

Reading measure(QWebEnginePage& page) {
    bench::Settle(1500);  // let every search answer and draw
    bench::RunInPage(&page, QStringLiteral("gc(); gc(); true"));
    bench::Settle(300);
    return {bench::RunInPage(&page, QStringLiteral("performance.memory.usedJSHeapSize")).toDouble() / 1048576.0,
            bench::RunInPage(&page, QStringLiteral("document.getElementsByTagName('*').length")).toInt(),
            residentKiB(page.renderProcessPid())};
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--js-flags=--expose-gc --enable-precise-memory-info");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareWebEngine();
    QApplication app(argc, argv);
    InProcessService service;
    service.start(QUORVEL_SAMPLE_CATALOG_DIR);

    QWebEnginePage page;
    QEventLoop loaded;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loaded, &QEventLoop::quit);
    page.load(service.homePageUrl());
    loaded.exec();
    PageScriptBridge bridge(&page, service.homePageUrl());

    const auto query = [](int i) {
        return QStringLiteral("k=&sp=%1&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown").arg(i);
    };
    // Warm the renderer first (code compiled, allocators grown by a few
    // draws), so that "one page" is a steady state and not a cold start.
    // The warm-up draws as many pages as the measured run, so that both
    // readings have had the same drawing, and differ by the pages held.
    for (int i = 0; i < 50; ++i) {
        bridge.SoItem(query(1000 + i), 1);
        bench::Settle(100);
        bridge.DelPage(0);
    }
    bridge.SoItem(query(0), 1);
    const Reading one = measure(page);
    for (int i = 1; i < 50; ++i) {
        bridge.SoItem(query(i), 1);
        bench::Settle(100);  // one search after the other, as a user makes them
    }
    const Reading fifty = measure(page);
    // Control: close 49 of them and draw as many pages again without holding
    // them; what grows here is the engine's, not the pages'.
    for (int i = 49; i >= 1; --i) bridge.DelPage(i);
    for (int i = 0; i < 49; ++i) {
        bridge.SoItem(query(2000 + i), 1);
        bench::Settle(100);
        bridge.DelPage(1);
    }
    const Reading control = measure(page);

    std::printf("%-16s %12s %10s %14s\n", "open pages", "JS heap", "DOM nodes", "renderer RSS");
    std::printf("%-16s %9.2f MiB %10d %10ld KiB\n", "1", one.heapMiB, one.nodes, one.rssKiB);
    std::printf("%-16s %9.2f MiB %10d %10ld KiB\n", "50", fifty.heapMiB, fifty.nodes, fifty.rssKiB);
    std::printf("%-16s %9.2f MiB %10d %10ld KiB\n", "1, drawn again", control.heapMiB, control.nodes, control.rssKiB);
    const double heapRatio = fifty.heapMiB / one.heapMiB;
    const double rssRatio = one.rssKiB > 0 ? static_cast<double>(fifty.rssKiB) / static_cast<double>(one.rssKiB) : 0;
    std::printf("ratio 50/1: heap %.2f, renderer RSS %.2f (target <= 1.2): %s\n", heapRatio, rssRatio,
                heapRatio <= 1.2 && rssRatio <= 1.2 ? "met" : "NOT met");
    service.stop();
    return 0;
}
