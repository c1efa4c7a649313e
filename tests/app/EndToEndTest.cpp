// Nothing scripted: the real window, the in-process results service and the
// results page in the real browser engine.
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWebEngineView>

#include <atomic>
#include <thread>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QWebEnginePage>

#include "CatalogIndex.h"
#include "InProcessService.h"
#include "PageScriptBridge.h"
#include "ResultTabStrip.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebTestMain.h"

using namespace quorvel;

class EndToEndTest : public QObject {
    Q_OBJECT

    static QAbstractButton* closeButton(QTabBar* bar, int index) {
        QWidget* b = bar->tabButton(index, QTabBar::RightSide);
        return qobject_cast<QAbstractButton*>(b ? b : bar->tabButton(index, QTabBar::LeftSide));
    }

    // The page's drawing state: loading, ready, empty, error.
    static QString pageState(QWebEngineView* web) {
        QString state;
        bool done = false;
        web->page()->runJavaScript(QStringLiteral("document.getElementById('view').dataset.state"),
                                   [&](const QVariant& v) { state = v.toString(); done = true; });
        QDeadlineTimer deadline(5000);
        while (!done && !deadline.hasExpired()) QTest::qWait(10);
        return state;
    }

private slots:
    void searchesOpenTabsAndClosingThemCollapses() {
        InProcessService service;
        service.start(QUORVEL_SAMPLE_CATALOG_DIR);
        TForm1 form(service.homePageUrl());
        form.show();
        SearchPanel* panel = form.panel();
        QTRY_VERIFY_WITH_TIMEOUT(panel->m_soso->isEnabled(), 30000);

        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        QCOMPARE(form.tabStrip()->count(), 1);
        QCOMPARE(form.tabStrip()->caption(0), QStringLiteral("热卖 - 所有类目"));
        QCOMPARE(form.clientHeight(), 613);

        panel->m_keyword->setText(QStringLiteral("连衣裙"));
        QTest::keyClick(panel->m_keyword, Qt::Key_Return);
        QCOMPARE(form.tabStrip()->count(), 2);
        QCOMPARE(form.tabStrip()->currentIndex(), 1);

        // The same search again shows its page instead of adding one.
        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        QCOMPARE(form.tabStrip()->count(), 2);

        // Ctrl+W reaches the tabs even with the focus inside the page.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.web()->setFocus();
        QWidget* inPage = form.web()->focusProxy() ? form.web()->focusProxy() : form.web();
        QTRY_VERIFY(inPage->hasFocus());
        QTest::keyClick(inPage, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(form.tabStrip()->count(), 1);
        QCOMPARE(form.tabStrip()->currentIndex(), 0);
        QCOMPARE(form.clientHeight(), 613);

        QTest::mouseClick(closeButton(form.tabStrip()->bar(), 0), Qt::LeftButton);
        QCOMPARE(form.tabStrip()->count(), 0);
        QCOMPARE(form.clientHeight(), 68);
    }

    // A catalog that takes long to open holds up neither the window nor a
    // search made meanwhile: that search is answered once the catalog is open.
    void aSlowCatalogHoldsUpNothing() {
        std::atomic<bool> release{false};
        struct Release {
            std::atomic<bool>& flag;
            ~Release() { flag = true; }
        } releaseOnExit{release};
        InProcessService service;
        service.start(QUORVEL_SAMPLE_CATALOG_DIR, [&release](const std::filesystem::path& dir) {
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return CatalogIndex::open(dir);
        });
        TForm1 form(service.homePageUrl());
        form.catalogOpening();
        connect(&service, &InProcessService::catalogOpened, &form, &TForm1::catalogOpened);
        QSignalSpy loaded(form.web(), &QWebEngineView::loadFinished);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(loaded.wait(30000));
        QVERIFY(!form.panel()->m_soso->isEnabled());  // the page is there, the catalog is not

        QCOMPARE(form.bridge()->SoItem(QStringLiteral("k=%E7%83%AD%E5%8D%96"), 1), 0);
        QTest::qWait(300);
        QCOMPARE(pageState(form.web()), QStringLiteral("loading"));
        release = true;
        QTRY_VERIFY_WITH_TIMEOUT(form.panel()->m_soso->isEnabled(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(pageState(form.web()), QStringLiteral("ready"), 10000);
    }

    void aCatalogThatCannotOpenSaysWhy() {
        InProcessService service;
        QSignalSpy failed(&service, &InProcessService::catalogFailed);
        service.start("no-such-catalog-folder");
        QVERIFY(failed.wait(10000));
        QVERIFY2(failed.first().first().toString().contains(QStringLiteral("no-such-catalog-folder")),
                 qPrintable(failed.first().first().toString()));
    }

    // Enter pressed with the focus inside the page reaches the program from
    // within the browser's own key handling; the search it runs must still get
    // the page's answer, and no tab may be lost.
    void enterInsideThePageKeepsTheTabs() {
        InProcessService service;
        service.start(QUORVEL_SAMPLE_CATALOG_DIR);
        TForm1 form(service.homePageUrl());
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        SearchPanel* panel = form.panel();
        QTRY_VERIFY_WITH_TIMEOUT(panel->m_soso->isEnabled(), 30000);
        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        panel->m_keyword->setText(QStringLiteral("连衣裙"));
        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        QCOMPARE(form.tabStrip()->count(), 2);

        panel->m_keyword->setText(QStringLiteral("手机"));
        form.web()->setFocus();
        QWidget* inPage = form.web()->focusProxy() ? form.web()->focusProxy() : form.web();
        QTRY_VERIFY(inPage->hasFocus());
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            // Pressed and released as a hand does it: the engine handles the two apart.
            const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
            QTest::keyPress(inPage, key, modifiers);
            QTest::qWait(80);
            QTest::keyRelease(inPage, key, modifiers);
            QTRY_COMPARE_WITH_TIMEOUT(form.tabStrip()->count(), 3, 5000);
            QCOMPARE(form.tabStrip()->currentIndex(), 2);
        }
        // Nothing is taken for a hung page afterwards either.
        QTest::qWait(4000);
        QCOMPARE(form.tabStrip()->count(), 3);
        QCOMPARE(form.clientHeight(), 613);
    }
};

QUORVEL_WEB_TEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
