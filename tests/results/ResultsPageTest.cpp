// The results page drawing in the real browser engine, inside the real window,
// against the real service on loopback over a fixture catalog.
#include <filesystem>
#include <fstream>
#include <thread>

#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QWebEngineView>

#include <httplib.h>

#include "CatalogIndex.h"
#include "CatalogWriter.h"
#include "FeedImporter.h"
#include "ResultTabStrip.h"
#include "PageScriptBridge.h"
#include "ResultsService.h"
#include "SampleCatalog.h"
#include "SearchApi.h"
#include "SearchPanel.h"
#include "ShellOpener.h"
#include "Unit1.h"
#include "WebTestMain.h"

using namespace quorvel;
namespace fs = std::filesystem;

namespace {
const QString kAll = QStringLiteral("k=&sp=0&ep=99999999&area=&s=price_asc&sc=1heart&ec=5goldencrown");
}

class ResultsPageTest : public QObject {
    Q_OBJECT

    fs::path m_dir;
    std::shared_ptr<const CatalogIndex> m_index;
    std::unique_ptr<ResultsService> m_service;
    httplib::Server m_pictures;  // stands in for a shop's picture host
    std::thread m_picturesThread;
    int m_port = 0;
    std::unique_ptr<TForm1> m_form;
    QList<QUrl> m_opened;

    QVariant js(const QString& script) {
        QVariant result;
        bool done = false;
        m_form->web()->page()->runJavaScript(script, [&](const QVariant& v) { result = v; done = true; });
        if (!QTest::qWaitFor([&] { return done; }, 10000)) qWarning("script gave no answer: %s", qPrintable(script));
        return result;
    }
    bool waitForState(const QString& state) {
        return QTest::qWaitFor([&] { return js(QStringLiteral("view.dataset.state")).toString() == state; }, 15000);
    }
    void search(const QString& query) {
        QVERIFY(m_form->bridge()->SoItem(query, 1).has_value());
    }
    void startService() {
        m_service = std::make_unique<ResultsService>(SearchApi(m_index));
        m_port = m_service->start("127.0.0.1", m_port);
    }

private slots:
    void initTestCase() {
        m_dir = fs::temp_directory_path() / ("quorvel-page-test-" + std::to_string(QCoreApplication::applicationPid()));
        std::ifstream feed(fs::path(QUORVEL_FIXTURES_DIR) / "catalog.jsonl");
        FeedImporter::Summary summary;
        auto items = FeedImporter::read(feed, summary);
        for (auto& item : SampleCatalog::generate(40)) items.push_back(std::move(item));  // enough for three pages

        std::ifstream icon(fs::path(QUORVEL_ICON_PNG), std::ios::binary);
        const std::string png((std::istreambuf_iterator<char>(icon)), std::istreambuf_iterator<char>());
        m_pictures.Get("/pic.png", [png](const httplib::Request&, httplib::Response& res) {
            res.set_content(png, "image/png");
        });
        const int picturePort = m_pictures.bind_to_any_port("127.0.0.1");
        m_picturesThread = std::thread([this] { m_pictures.listen_after_bind(); });
        CatalogItem pictured = items.front();
        pictured.id = 200;
        pictured.title = "图片测试商品";
        pictured.image = "http://127.0.0.1:" + std::to_string(picturePort) + "/pic.png";
        items.push_back(pictured);
        CatalogWriter::write(m_dir, std::move(items));
        m_index = CatalogIndex::open(m_dir);
        startService();
    }
    void cleanupTestCase() {
        m_service.reset();
        while (!m_pictures.is_running()) QTest::qWait(10);
        m_pictures.stop();
        m_picturesThread.join();
        fs::remove_all(m_dir);
    }

    void init() {
        m_opened.clear();
        m_form = std::make_unique<TForm1>(QUrl(QStringLiteral("http://127.0.0.1:%1/soft/quorvel/").arg(m_port)));
        m_form->shell().setUrlOpener([this](const QUrl& url) { m_opened << url; return true; });
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_form->panel()->m_soso->isEnabled(), 30000);
    }
    void cleanup() { m_form.reset(); }

    void drawsCardsWithTheirFields() {
        m_form->panel()->m_keyword->setText(QStringLiteral("进口奶粉"));
        QTest::mouseClick(m_form->panel()->m_soso, Qt::LeftButton);
        QVERIFY(waitForState(QStringLiteral("ready")));
        QCOMPARE(js("document.querySelectorAll('.card').length").toInt(), 1);
        QCOMPARE(js("document.querySelector('.summary .total').textContent").toString(), QStringLiteral("找到 1 件商品"));
        QVERIFY(js("document.querySelector('.summary .took').textContent").toString().startsWith(QStringLiteral("用时 ")));
        QCOMPARE(js("document.querySelector('.card .title').textContent").toString(), QStringLiteral("进口奶粉 热卖 包邮"));
        QCOMPARE(js("document.querySelector('.card .title mark').textContent").toString(), QStringLiteral("进口奶粉"));
        QVERIFY(js("document.querySelector('.card .price').textContent").toString().startsWith(QStringLiteral("¥268.00")));
        QCOMPARE(js("document.querySelector('.card .sales').textContent").toString(), QStringLiteral("已售 120 件"));
        QCOMPARE(js("document.querySelector('.card .place').textContent").toString(), QStringLiteral("日本"));
        QCOMPARE(js("document.querySelector('.card .nick').textContent").toString(), QStringLiteral("海淘"));
        QCOMPARE(js("document.querySelector('.card .credit').textContent").toString(), QStringLiteral("四钻"));
        QCOMPARE(js("[...document.querySelectorAll('.card .badge')].map(b => b.textContent).join()").toString(),
                 QStringLiteral("海外商品,消保商品"));
        QVERIFY(js("!!document.querySelector('.card .placeholder')").toBool());
    }

    void picturesLoadLazilyInPlaceOfThePlaceholder() {
        m_form->panel()->m_keyword->setText(QStringLiteral("图片测试"));
        QTest::mouseClick(m_form->panel()->m_soso, Qt::LeftButton);
        QVERIFY(waitForState(QStringLiteral("ready")));
        QCOMPARE(js("document.querySelector('.card img').loading").toString(), QStringLiteral("lazy"));
        QTRY_COMPARE_WITH_TIMEOUT(js("document.querySelector('.card img').naturalWidth").toInt(), 48, 10000);
        QTRY_VERIFY(!js("!!document.querySelector('.card .placeholder')").toBool());
    }

    void pagesForwardAndBack() {
        search(kAll);
        QVERIFY(waitForState(QStringLiteral("ready")));
        QCOMPARE(js("document.querySelector('.position').textContent").toString(), QStringLiteral("第 1 / 3 页"));
        const QString firstTitle = js("document.querySelector('.card .title').textContent").toString();
        js("document.querySelector('.pager .next').click()");
        QTRY_COMPARE_WITH_TIMEOUT(js("document.querySelector('.position')?.textContent ?? ''").toString(),
                                  QStringLiteral("第 2 / 3 页"), 10000);
        QCOMPARE(js("document.querySelectorAll('.card').length").toInt(), 20);
        // The keys a browser user expects: Alt+Left goes back a page.
        m_form->web()->setFocus();
        QWidget* inPage = m_form->web()->focusProxy();
        QVERIFY(inPage);
        QTest::keyClick(inPage, Qt::Key_Left, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(js("document.querySelector('.position')?.textContent ?? ''").toString(),
                                  QStringLiteral("第 1 / 3 页"), 10000);
        QCOMPARE(js("document.querySelector('.card .title').textContent").toString(), firstTitle);
    }

    void emptySearchSaysWhatToLoosen() {
        m_form->panel()->m_keyword->setText(QStringLiteral("火星"));
        m_form->panel()->m_oi->setChecked(true);
        QTest::mouseClick(m_form->panel()->m_soso, Qt::LeftButton);
        QVERIFY(waitForState(QStringLiteral("empty")));
        QCOMPARE(js("[...document.querySelectorAll('.loosen li')].map(li => li.textContent).join()").toString(),
                 QStringLiteral("关键字“火星”,海外商品"));
    }

    void deadServiceShowsErrorAndRetryRecovers() {
        m_service.reset();  // the page is loaded; its service is now gone
        search(kAll);
        QVERIFY(waitForState(QStringLiteral("error")));
        QVERIFY(!js("document.querySelector('.status .message').textContent").toString().isEmpty());
        startService();
        js("document.querySelector('.retry').click()");
        QVERIFY(waitForState(QStringLiteral("ready")));
    }

    // A count narrows the page's results in place; its chip takes it back.
    void countsNarrowAndChipsWiden() {
        search(kAll);
        QVERIFY(waitForState(QStringLiteral("ready")));
        const QString allTotal = js("document.querySelector('.summary .total').textContent").toString();
        const int count = js("Number(document.querySelector('.facet-row .facet .facet-count').textContent)").toInt();
        const QString label = js("document.querySelector('.facet-row .facet').firstChild.textContent").toString();
        QVERIFY(count > 0);
        js("document.querySelector('.facet-row .facet').click(); true");
        QTRY_COMPARE_WITH_TIMEOUT(js("document.querySelector('.summary .total')?.textContent ?? ''").toString(),
                                  QStringLiteral("找到 %1 件商品").arg(count), 10000);
        QCOMPARE(js("document.querySelector('.chip').textContent").toString(), QStringLiteral("类目：%1 ×").arg(label));
        QCOMPARE(m_form->bridge()->SoItem(kAll, 1), 0);  // the page's own search is as it was
        // Counts are text: their names make no elements of their own.
        QCOMPARE(js("document.querySelectorAll('.facets *:not(div):not(span):not(button)').length").toInt(), 0);
        js("document.querySelector('.chip').click(); true");
        QTRY_COMPARE_WITH_TIMEOUT(js("document.querySelector('.summary .total')?.textContent ?? ''").toString(), allTotal,
                                  10000);
        QCOMPARE(js("document.querySelectorAll('.chip').length").toInt(), 0);
    }

    void markupInATitleIsText() {
        m_form->panel()->m_keyword->setText(QStringLiteral("热水壶"));
        QTest::mouseClick(m_form->panel()->m_soso, Qt::LeftButton);
        QVERIFY(waitForState(QStringLiteral("ready")));
        QCOMPARE(js("document.querySelector('.card .title').textContent").toString(), QStringLiteral("<b>热水壶</b>"));
        QCOMPARE(js("document.querySelectorAll('.card .title b').length").toInt(), 0);
    }

    void itemClickOpensTheUsersBrowser() {
        m_form->panel()->m_keyword->setText(QStringLiteral("连衣裙"));
        QTest::mouseClick(m_form->panel()->m_soso, Qt::LeftButton);
        QVERIFY(waitForState(QStringLiteral("ready")));
        const QVariantList rect =
            js("(() => { const r = document.querySelector('.card-link').getBoundingClientRect();"
               " return [r.left + r.width / 2, r.top + r.height / 2]; })()").toList();
        QCOMPARE(rect.size(), 2);
        QWidget* inPage = m_form->web()->focusProxy();
        QVERIFY(inPage);
        const QUrl before = m_form->web()->url();
        QTest::mouseClick(inPage, Qt::LeftButton, {}, QPoint(rect[0].toInt(), rect[1].toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 1, 10000);
        QCOMPARE(m_opened.first(), QUrl(QStringLiteral("https://shop.example.com/101")));
        QTest::qWait(300);
        QCOMPARE(m_form->web()->url(), before);
        QCOMPARE(js("view.dataset.state").toString(), QStringLiteral("ready"));
    }

    void switchingTabsKeepsEachPagesScroll() {
        search(kAll);
        QVERIFY(waitForState(QStringLiteral("ready")));
        m_form->tabStrip()->addTab(QStringLiteral("a"));
        js("window.scrollTo(0, 400)");
        QTRY_COMPARE(js("window.scrollY").toInt(), 400);
        search(QString(kAll).replace(QStringLiteral("price_asc"), QStringLiteral("price_desc")));
        m_form->tabStrip()->addTab(QStringLiteral("b"));
        m_form->tabStrip()->setCurrentIndex(1);
        QVERIFY(waitForState(QStringLiteral("ready")));
        js("window.scrollTo(0, 150)");
        QTRY_COMPARE(js("window.scrollY").toInt(), 150);
        QTabBar* bar = m_form->tabStrip()->bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QTRY_COMPARE(js("window.scrollY").toInt(), 400);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QTRY_COMPARE(js("window.scrollY").toInt(), 150);
    }
};

QUORVEL_WEB_TEST_MAIN(ResultsPageTest)
#include "ResultsPageTest.moc"
