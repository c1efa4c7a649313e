// Nothing scripted: the real window, the in-process results service and the
// results page in the real browser engine.
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWebEngineView>

#include "InProcessService.h"
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
            QTest::keyClick(inPage, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
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
