// The main window at start: placement, collapsed height, the quick search
// button opened by the first finished load, with the real page and service.
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include "ResultsService.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebTestMain.h"
#include "WindowPlacement.h"

using namespace quorvel;

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void placement_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("worked example") << QSize(1024, 768) << QSize(783, 642) << QPoint(120, 23);
        QTest::newRow("odd negative difference truncates toward zero")
            << QSize(776, 600) << QSize(783, 642) << QPoint(-3, -61);
        QTest::newRow("screen smaller than the window") << QSize(640, 480) << QSize(783, 642) << QPoint(-71, -121);
        QTest::newRow("odd positive difference") << QSize(1025, 769) << QSize(783, 642) << QPoint(121, 23);
    }

    void placement() {
        QFETCH(QSize, screen);
        QFETCH(QSize, outer);
        QFETCH(QPoint, expected);
        QCOMPARE(WindowPlacement(screen, outer), expected);
    }

    void opensCollapsedAndEnablesSearchOnFirstLoad() {
        ResultsService service;
        service.start("127.0.0.1", 0);
        TForm1 form(QUrl(QString::fromStdString(service.pageUrl())));
        QCOMPARE(form.windowTitle(), QStringLiteral("Quorvel V2.0"));
        QCOMPARE(form.clientHeight(), TForm1::CollapsedClientHeight);
        QCOMPARE(form.width(), 777);
        QVERIFY(!form.panel()->m_soso->isEnabled());
        QSignalSpy loaded(form.web(), &QWebEngineView::loadFinished);
        form.show();
        QVERIFY(loaded.wait(20000));
        QVERIFY(loaded.first().first().toBool());
        QVERIFY(form.panel()->m_soso->isEnabled());
        QCOMPARE(form.clientHeight(), TForm1::CollapsedClientHeight);
        // No maximise button, fixed size.
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.minimumSize(), form.maximumSize());
    }

    void failedLoadAlsoEnablesSearch() {
        int closedPort = 0;
        {
            ResultsService gone;
            closedPort = gone.start("127.0.0.1", 0);
        }
        TForm1 form(QUrl(QStringLiteral("http://127.0.0.1:%1/soft/quorvel/").arg(closedPort)));
        QSignalSpy loaded(form.web(), &QWebEngineView::loadFinished);
        form.show();
        QVERIFY(loaded.wait(20000));
        QVERIFY(!loaded.first().first().toBool());
        QVERIFY(form.panel()->m_soso->isEnabled());
    }

    void expandAndCollapseChangeOnlyTheHeight() {
        TForm1 form(QUrl(QStringLiteral("about:blank")));
        form.show();
        const QPoint at = form.pos();
        form.expand();
        QCOMPARE(form.clientHeight(), 613);
        QCOMPARE(form.width(), 777);
        form.collapse();
        QCOMPARE(form.clientHeight(), 68);
        QCOMPARE(form.pos(), at);
    }
};

QUORVEL_WEB_TEST_MAIN(WindowTest)
#include "WindowTest.moc"
