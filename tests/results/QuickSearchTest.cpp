// The tab rules on the real window, with a scripted results page that answers
// chosen values and records every call.
#include <deque>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "PriceSpinEdit.h"
#include "QuickSearch.h"
#include "ResultTabStrip.h"
#include "PageScript.h"
#include "SearchPanel.h"
#include "Unit1.h"
#include "WebTestMain.h"

using namespace quorvel;

namespace {

// Answers from queues; an empty optional is a failed call.
class ScriptedPage : public PageScript {
public:
    std::deque<std::optional<int>> soItem, delPage;
    QStringList calls;

    std::optional<int> SoItem(const QString& query, int n) override {
        calls << QStringLiteral("SoItem(%1,%2)").arg(query).arg(n);
        return next(soItem);
    }
    bool ShowPage(int index) override {
        calls << QStringLiteral("ShowPage(%1)").arg(index);
        return true;
    }
    std::optional<int> DelPage(int index) override {
        calls << QStringLiteral("DelPage(%1)").arg(index);
        return next(delPage);
    }

private:
    static std::optional<int> next(std::deque<std::optional<int>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace

class QuickSearchTest : public QObject {
    Q_OBJECT

    ScriptedPage m_page;
    std::unique_ptr<TForm1> m_form;

    ResultTabStrip* tabs() { return m_form->tabStrip(); }
    SearchPanel* panel() { return m_form->panel(); }

    // Runs searches answered with the given indexes, each with its own keyword.
    void search(std::initializer_list<std::optional<int>> answers) {
        for (const auto& a : answers) {
            m_page.soItem.push_back(a);
            panel()->m_keyword->setText(QStringLiteral("k%1").arg(m_page.calls.size()));
            QTest::mouseClick(panel()->m_soso, Qt::LeftButton);
        }
    }

    QAbstractButton* closeButton(int index) {
        QTabBar* bar = tabs()->bar();
        QWidget* b = bar->tabButton(index, QTabBar::RightSide);
        if (!b) b = bar->tabButton(index, QTabBar::LeftSide);
        return qobject_cast<QAbstractButton*>(b);
    }

private slots:
    void init() {
        m_page = ScriptedPage();
        m_form = std::make_unique<TForm1>(QUrl(QStringLiteral("http://127.0.0.1:9/soft/quorvel/")), &m_page);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        panel()->m_soso->setEnabled(true);
    }
    void cleanup() { m_form.reset(); }

    void firstSearchAddsTabAndExpands() {
        m_page.soItem = {0};
        QTest::mouseClick(panel()->m_soso, Qt::LeftButton);
        QCOMPARE(m_page.calls,
                 QStringList{"SoItem(k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart"
                             "&ec=5goldencrown,1)"});
        QCOMPARE(tabs()->count(), 1);
        QCOMPARE(tabs()->caption(0), QStringLiteral("热卖 - 所有类目"));
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(m_form->clientHeight(), 613);
    }

    void captions_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty keyword") << "" << 0 << "所有类目";
        QTest::newRow("keyword and category") << "abc" << 14 << "abc - 手机";
        QTest::newRow("ampersand stays text") << "A&B" << 14 << "A&B - 手机";
    }

    void captions() {
        QFETCH(QString, keyword);
        QFETCH(int, category);
        QFETCH(QString, caption);
        panel()->m_keyword->setText(keyword);
        panel()->m_cid->setCurrentIndex(category);
        m_page.soItem = {0};
        QTest::mouseClick(panel()->m_soso, Qt::LeftButton);
        QCOMPARE(tabs()->caption(0), caption);
        QCOMPARE(tabs()->bar()->tabText(0).count(QLatin1Char('&')), 2 * int(caption.count(QLatin1Char('&'))));
    }

    void answerNamingAnOpenTabSelectsIt() {
        search({0, 1, 2});
        search({1});
        QCOMPARE(tabs()->count(), 3);
        QCOMPARE(tabs()->currentIndex(), 1);
        QCOMPARE(m_form->clientHeight(), 613);
        QVERIFY(!m_page.calls.join(' ').contains(QLatin1String("ShowPage")));
    }

    void answerBeyondTheTabsAddsNothing() {
        search({1});
        QCOMPARE(tabs()->count(), 0);
        QCOMPARE(tabs()->currentIndex(), -1);
        QCOMPARE(m_form->clientHeight(), 68);
        search({0, 7});  // names no tab: none selected, no crash
        QCOMPARE(tabs()->count(), 1);
        QCOMPARE(tabs()->currentIndex(), -1);
    }

    void failedSearchKeepsWriteBacksOnly() {
        panel()->m_sp->setValue(500);
        panel()->m_ep->setValue(100);
        panel()->m_sc->setCurrentIndex(19);
        panel()->m_ec->setCurrentIndex(5);
        search({std::nullopt});
        QCOMPARE(panel()->m_sp->value(), 100);
        QCOMPARE(panel()->m_ep->value(), 500);
        QCOMPARE(panel()->m_sc->currentIndex(), 5);
        QCOMPARE(panel()->m_ec->currentIndex(), 19);
        QCOMPARE(tabs()->count(), 0);
        QCOMPARE(m_form->clientHeight(), 68);
    }

    void closingTheLastTabCollapses() {
        search({0});
        m_page.delPage = {-1};
        QTest::mouseClick(closeButton(0), Qt::LeftButton);
        QCOMPARE(tabs()->count(), 0);
        QCOMPARE(tabs()->currentIndex(), -1);
        QCOMPARE(m_form->clientHeight(), 68);
        QCOMPARE(m_form->quickSearch()->NextTabIndex(), -1);
    }

    void failedCloseBeforeAnyCloseSelectsTabZero() {
        search({0, 1});
        m_page.delPage = {std::nullopt};
        QTest::mouseClick(closeButton(1), Qt::LeftButton);
        QCOMPARE(tabs()->count(), 1);
        QCOMPARE(tabs()->currentIndex(), 0);
        m_page.delPage = {std::nullopt};
        QTest::mouseClick(closeButton(0), Qt::LeftButton);
        QCOMPARE(tabs()->count(), 0);
        QCOMPARE(m_form->clientHeight(), 613);  // only -1 collapses
    }

    void userSelectionCallsShowPageOnce() {
        search({0, 1, 2});
        m_page.calls.clear();
        QTabBar* bar = tabs()->bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QCOMPARE(m_page.calls, QStringList{"ShowPage(0)"});
        QCOMPARE(tabs()->currentIndex(), 0);
        tabs()->setCurrentIndex(2);  // by the program: no call
        QCOMPARE(m_page.calls, QStringList{"ShowPage(0)"});
    }

    void closeButtonOfAnUnselectedTabSelectsThenCloses() {
        search({0, 1, 2});
        m_page.calls.clear();
        m_page.delPage = {1};
        QTest::mouseClick(closeButton(0), Qt::LeftButton);
        QCOMPARE(m_page.calls, (QStringList{"ShowPage(0)", "DelPage(0)"}));
        QCOMPARE(tabs()->count(), 2);
        QCOMPARE(tabs()->currentIndex(), 1);
    }

    void minusOneWhileTabsRemainCollapses() {
        search({0, 1});
        m_page.delPage = {-1};
        QTest::mouseClick(closeButton(1), Qt::LeftButton);
        QCOMPARE(tabs()->count(), 1);
        QCOMPARE(tabs()->currentIndex(), -1);
        QCOMPARE(m_form->clientHeight(), 68);
        // A click on the remaining tab is a user selection even though the bar shows it already.
        m_page.calls.clear();
        QTest::mouseClick(tabs()->bar(), Qt::LeftButton, {}, tabs()->bar()->tabRect(0).center());
        QCOMPARE(m_page.calls, QStringList{"ShowPage(0)"});
        search({0});
        QCOMPARE(m_form->clientHeight(), 613);
    }

    void keyboardAndMiddleClick() {
        search({0, 1, 2});
        m_page.calls.clear();
        QTest::keyClick(m_form.get(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 0);  // wraps around
        QTest::keyClick(m_form.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs()->currentIndex(), 2);
        m_page.delPage = {1};
        QTest::keyClick(m_form.get(), Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(tabs()->count(), 2);
        m_page.delPage = {0};
        QTest::mouseClick(tabs()->bar(), Qt::MiddleButton, {}, tabs()->bar()->tabRect(0).center());
        QCOMPARE(tabs()->count(), 1);
        QCOMPARE(m_page.calls, (QStringList{"ShowPage(0)", "ShowPage(2)", "DelPage(2)", "ShowPage(0)", "DelPage(0)"}));
    }

    void lostPageRemovesAllTabs() {
        search({0, 1});
        m_form->quickSearch()->pageLost();
        QCOMPARE(tabs()->count(), 0);
        QCOMPARE(m_form->clientHeight(), 68);
        search({0});
        QCOMPARE(tabs()->count(), 1);
    }
};

QUORVEL_WEB_TEST_MAIN(QuickSearchTest)
#include "QuickSearchTest.moc"
