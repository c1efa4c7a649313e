// Nothing scripted: the real window, the in-process results service and the
// results page in the real browser engine.
#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QWebEngineView>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QWebEnginePage>

#include "CatalogIndex.h"
#include "InProcessService.h"
#include "KeywordSuggestions.h"
#include "PageScriptBridge.h"
#include "QuickSearch.h"
#include "ResultTabStrip.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebTestMain.h"

using namespace quorvel;

// The program as it starts: its service over the sample catalog and its window.
struct Program {
    InProcessService service;
    TForm1 form;

    Program() : form((service.start(QUORVEL_SAMPLE_CATALOG_DIR), service.homePageUrl())) { form.show(); }

    // Shown, active and its quick search enabled.
    bool ready() {
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) return false;
        QDeadlineTimer deadline(30000);
        while (!form.panel()->m_soso->isEnabled() && !deadline.hasExpired()) QTest::qWait(20);
        return form.panel()->m_soso->isEnabled();
    }
};

class EndToEndTest : public QObject {
    Q_OBJECT

    static QAbstractButton* closeButton(QTabBar* bar, int index) {
        QWidget* b = bar->tabButton(index, QTabBar::RightSide);
        return qobject_cast<QAbstractButton*>(b ? b : bar->tabButton(index, QTabBar::LeftSide));
    }

    // A script's value in the page, or nothing after 5 s (a late answer changes nothing).
    static QVariant js(QWebEngineView* web, const QString& script) {
        auto value = std::make_shared<std::optional<QVariant>>();
        web->page()->runJavaScript(script, [value](const QVariant& v) { *value = v; });
        QDeadlineTimer deadline(5000);
        while (!*value && !deadline.hasExpired()) QTest::qWait(10);
        return value->value_or(QVariant());
    }

    // The page's drawing state: loading, ready, empty, error.
    static QString pageState(QWebEngineView* web) {
        return js(web, QStringLiteral("document.getElementById('view').dataset.state")).toString();
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

    // Tabs that forgive: a closed tab comes back with its search, a tab's
    // tooltip tells its search and results, and F5 runs a page again in place.
    void closedTabsComeBackAndPagesRunAgain() {
        Program program;
        QVERIFY(program.ready());
        TForm1& form = program.form;
        SearchPanel* panel = form.panel();
        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        panel->m_keyword->setText(QStringLiteral("手机"));
        panel->m_mall->setChecked(true);
        QTest::mouseClick(panel->m_soso, Qt::LeftButton);
        QCOMPARE(form.tabStrip()->count(), 2);

        QTRY_VERIFY_WITH_TIMEOUT(form.quickSearch()->tabToolTip(1).contains(QStringLiteral("件商品")), 10000);
        const QString tip = form.quickSearch()->tabToolTip(1);
        QVERIFY2(tip.contains(QStringLiteral("关键字：手机")) && tip.contains(QStringLiteral("服务：淘宝商城")), qPrintable(tip));

        form.tabStrip()->closeSelectedByUser();
        QCOMPARE(form.tabStrip()->count(), 1);
        panel->m_keyword->setText(QStringLiteral("别的"));
        QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(form.tabStrip()->count(), 2);
        QCOMPARE(form.tabStrip()->caption(1), QStringLiteral("手机 - 所有类目"));
        QCOMPARE(form.tabStrip()->currentIndex(), 1);
        QCOMPARE(panel->m_keyword->text(), QStringLiteral("别的"));  // the form is left as it was
        QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);  // nothing more to bring back
        QCOMPARE(form.tabStrip()->count(), 2);

        // F5 in the page: the shown page's search again, on the same page number.
        const auto inPageJs = [&form](const QString& script) { return js(form.web(), script); };
        QTRY_COMPARE_WITH_TIMEOUT(pageState(form.web()), QStringLiteral("ready"), 10000);
        inPageJs(QStringLiteral("document.querySelector('.pager .next').click(); true"));
        QTRY_VERIFY_WITH_TIMEOUT(inPageJs(QStringLiteral("document.querySelector('.position')?.textContent ?? ''")).toString().startsWith(QStringLiteral("第 2 ")), 10000);
        inPageJs(QStringLiteral("document.querySelector('.grid').dataset.before = 'yes'; true"));
        form.web()->setFocus();
        QWidget* inPage = form.web()->focusProxy() ? form.web()->focusProxy() : form.web();
        QTRY_VERIFY(inPage->hasFocus());
        QTest::keyPress(inPage, Qt::Key_F5);
        QTest::qWait(50);
        QTest::keyRelease(inPage, Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(inPageJs(QStringLiteral("document.querySelector('.grid') && !document.querySelector('.grid').dataset.before")).toBool(), 10000);
        QVERIFY(inPageJs(QStringLiteral("document.querySelector('.position').textContent")).toString().startsWith(QStringLiteral("第 2 ")));
        QCOMPARE(form.tabStrip()->count(), 2);
    }

    // Typing shows suggestions from the catalog; choosing one searches for it.
    void typingSuggestsAndChoosingSearches() {
        Program program;
        QVERIFY(program.ready());
        TForm1& form = program.form;
        SearchPanel* panel = form.panel();
        QListWidget* list = form.suggestions()->list();

        panel->m_keyword->setFocus();
        panel->m_keyword->clear();
        // As an input method commits Chinese text (its composition is not text yet).
        const auto commit = [&](const QString& text) {
            QInputMethodEvent composing(QStringLiteral("lianyi"), {});
            QApplication::sendEvent(panel->m_keyword, &composing);
            QInputMethodEvent committed;
            committed.setCommitString(text);
            QApplication::sendEvent(panel->m_keyword, &committed);
        };
        commit(QStringLiteral("连衣"));
        QTRY_VERIFY_WITH_TIMEOUT(list->isVisible() && list->count() > 0, 5000);
        QTest::keyClick(panel->m_keyword, Qt::Key_Escape);  // closes, leaves the text
        QVERIFY(!list->isVisible());
        QCOMPARE(panel->m_keyword->text(), QStringLiteral("连衣"));
        QCOMPARE(form.tabStrip()->count(), 0);

        commit(QStringLiteral("裙"));
        QTRY_VERIFY_WITH_TIMEOUT(list->isVisible() && list->count() > 0, 5000);
        const QString first = list->item(0)->data(Qt::UserRole).toString();
        QVERIFY2(first.contains(QStringLiteral("连衣裙")), qPrintable(first));
        QTest::keyClick(panel->m_keyword, Qt::Key_Down);
        QTest::keyClick(panel->m_keyword, Qt::Key_Return);
        QCOMPARE(panel->m_keyword->text(), first);
        QVERIFY(!list->isVisible());
        QCOMPARE(form.tabStrip()->count(), 1);
        QCOMPARE(form.tabStrip()->caption(0), first + QStringLiteral(" - 所有类目"));
    }

    // Enter pressed with the focus inside the page reaches the program from
    // within the browser's own key handling; the search it runs must still get
    // the page's answer, and no tab may be lost.
    void enterInsideThePageKeepsTheTabs() {
        Program program;
        QVERIFY(program.ready());
        TForm1& form = program.form;
        SearchPanel* panel = form.panel();
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
