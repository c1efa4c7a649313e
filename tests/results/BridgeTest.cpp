// The results-page bridge against the real browser engine and the real page
// served by the results service on loopback.
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include "PageScriptBridge.h"
#include "ProcessKiller.h"
#include "ResultsService.h"
#include "WebTestMain.h"

using namespace quorvel;

class BridgeTest : public QObject {
    Q_OBJECT

    ResultsService m_service;
    QUrl m_home;

    bool load(QWebEnginePage& page, const QUrl& url) {
        QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
        page.load(url);
        return loaded.wait(20000) && loaded.first().first().toBool();
    }

    // Defines a function on the page that answers what body returns.
    static void define(QWebEnginePage& page, const QString& name, const QString& body) {
        bool ran = false;
        page.runJavaScript(QStringLiteral("window.%1 = function () { %2 }; true").arg(name, body),
                           [&ran](const QVariant&) { ran = true; });
        QTRY_VERIFY_WITH_TIMEOUT(ran, 5000);
    }

private slots:
    void initTestCase() {
        m_service.start("127.0.0.1", 0);
        m_home = QUrl(QString::fromStdString(m_service.pageUrl()));
    }

    void convertsAnswersByThePageRules_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("value");
        QTest::newRow("3") << "return 3;" << true << 3;
        QTest::newRow("2.5 to even") << "return 2.5;" << true << 2;
        QTest::newRow("3.5 to even") << "return 3.5;" << true << 4;
        QTest::newRow("-2.5 to even") << "return -2.5;" << true << -2;
        QTest::newRow("2.6") << "return 2.6;" << true << 3;
        QTest::newRow("text 7") << "return '7';" << true << 7;
        QTest::newRow("text 7.5") << "return '7.5';" << true << 8;
        QTest::newRow("text -1") << "return '-1';" << true << -1;
        QTest::newRow("empty text") << "return '';" << false << 0;
        QTest::newRow("abc") << "return 'abc';" << false << 0;
        QTest::newRow("undefined") << "return undefined;" << true << 0;
        QTest::newRow("no return") << "" << true << 0;
        QTest::newRow("null") << "return null;" << false << 0;
        QTest::newRow("true") << "return true;" << false << 0;
        QTest::newRow("object") << "return {a: 1};" << false << 0;
        QTest::newRow("2147483647") << "return 2147483647;" << true << 2147483647;
        QTest::newRow("2147483648") << "return 2147483648;" << false << 0;
        QTest::newRow("-2147483649") << "return -2147483649;" << false << 0;
        QTest::newRow("NaN") << "return NaN;" << false << 0;
        QTest::newRow("Infinity") << "return Infinity;" << false << 0;
        QTest::newRow("thrown error") << "throw new Error('boom');" << false << 0;
    }

    void convertsAnswersByThePageRules() {
        QFETCH(QString, body);
        QFETCH(bool, converts);
        QFETCH(int, value);
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home);
        define(page, QStringLiteral("Answer"), body);
        const std::optional<int> answer = bridge.callForIndex(QStringLiteral("Answer"), {});
        QCOMPARE(answer.has_value(), converts);
        if (converts) QCOMPARE(*answer, value);
    }

    void missingFunctionFails() {
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home);
        QVERIFY(!bridge.callForIndex(QStringLiteral("NoSuchFunction"), {}).has_value());
    }

    void argumentsArriveAsData() {
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home);
        // A query with quotes and script-like text must arrive unchanged.
        define(page, QStringLiteral("Echo"),
               QStringLiteral("return arguments[0] === \"a'\\\"</script>%E7\" && arguments[1] === 1 ? 5 : -5;"));
        QCOMPARE(bridge.callForIndex(QStringLiteral("Echo"), {QStringLiteral("a'\"</script>%E7"), 1}), 5);
    }

    void realPageKeepsItsList() {
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home);
        QCOMPARE(bridge.SoItem(QStringLiteral("k=a"), 1), 0);
        QCOMPARE(bridge.SoItem(QStringLiteral("k=b"), 1), 1);
        QCOMPARE(bridge.SoItem(QStringLiteral("k=a"), 1), 0);  // same query: the existing page
        QVERIFY(bridge.ShowPage(1));
        QCOMPARE(bridge.DelPage(1), 0);
        QCOMPARE(bridge.DelPage(0), -1);
        QVERIFY(!bridge.DelPage(0).has_value());  // names no page
    }

    void aBusyPageIsNotTakenForHung() {
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home);
        QSignalSpy lost(&bridge, &PageScriptBridge::pageLost);
        define(page, QStringLiteral("Busy"),
               QStringLiteral("const end = Date.now() + 4000; while (Date.now() < end) {} return 7;"));
        QCOMPARE(bridge.callForIndex(QStringLiteral("Busy"), {}), 7);
        QCOMPARE(lost.count(), 0);
    }

    void recoversFromAHungPage() {
        QWebEnginePage page;
        QVERIFY(load(page, m_home));
        PageScriptBridge bridge(&page, m_home, std::chrono::milliseconds(1500));
        bridge.setRendererKiller(&KillProcess);
        QSignalSpy lost(&bridge, &PageScriptBridge::pageLost);
        QSignalSpy reloaded(&page, &QWebEnginePage::loadFinished);
        define(page, QStringLiteral("Hang"), QStringLiteral("for (;;) {}"));
        QVERIFY(!bridge.callForIndex(QStringLiteral("Hang"), {}).has_value());
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty() && reloaded.last().first().toBool(), 20000);
        QCOMPARE(bridge.SoItem(QStringLiteral("k=after"), 1), 0);
    }

    void cleanupTestCase() { m_service.stop(); }
};

QUORVEL_WEB_TEST_MAIN(BridgeTest)
#include "BridgeTest.moc"
