// The search panel, the price fields, Enter and the advanced-search launcher,
// on the real window.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "AdvancedSearchLauncher.h"
#include "PriceSpinEdit.h"
#include "QueryBuilder.h"
#include "ResultTabStrip.h"
#include "SearchPanel.h"
#include "ShellOpener.h"
#include "Unit1.h"
#include "WebTestMain.h"

using namespace quorvel;

class PanelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> m_form;
    SearchPanel* panel() { return m_form->panel(); }

    void focusOn(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(w->hasFocus());
    }

private slots:
    void init() {
        // Nothing listens there: the page load fails at once, which is all these tests need.
        m_form = std::make_unique<TForm1>(QUrl(QStringLiteral("http://127.0.0.1:9/soft/quorvel/")));
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { m_form.reset(); }

    void storedDefaultsGiveTheDefaultQuery() {
        QCOMPARE(QString::fromStdString(BuildQuery(panel()->readSettings()).query),
                 QStringLiteral("k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown"));
        const SearchSettings s = panel()->readSettings();
        QCOMPARE(QString::fromStdString(s.categoryText), QStringLiteral("所有类目"));
        QCOMPARE(panel()->m_cid->count(), 81);
        QCOMPARE(panel()->m_loc->count(), 63);
        QCOMPARE(panel()->m_sort->count(), 5);
        QCOMPARE(panel()->m_ec->currentText(), QStringLiteral(" 五金冠"));
        QCOMPARE(panel()->m_sc->currentText(), QStringLiteral("  一  心"));
        QVERIFY(!panel()->m_cid->isEditable());
        QCOMPARE(panel()->m_cid->maxVisibleItems(), 20);
        QCOMPARE(panel()->m_sort->maxVisibleItems(), 8);
        QCOMPARE(panel()->geometry(), QRect(3, 3, 770, 62));
        QCOMPARE(panel()->m_soso->geometry(), QRect(694, 6, 67, 24));
    }

    void checkedFiltersAndListsReachTheQuery() {
        panel()->m_keyword->setText(QStringLiteral("abc"));
        panel()->m_cid->setCurrentIndex(14);
        panel()->m_sp->setValue(500);
        panel()->m_ep->setValue(100);
        panel()->m_loc->setCurrentIndex(1);
        panel()->m_sort->setCurrentIndex(1);
        panel()->m_sc->setCurrentIndex(19);
        panel()->m_ec->setCurrentIndex(5);
        panel()->m_oi->setChecked(true);
        panel()->m_mall->setChecked(true);
        QCOMPARE(QString::fromStdString(BuildQuery(panel()->readSettings()).query),
                 QStringLiteral("k=%61%62%63&cid=1512&sp=100&ep=500&area=%E6%B1%9F%E8%8B%8F%2C%E6%B5%99%E6%B1%9F%2C"
                                "%E4%B8%8A%E6%B5%B7&s=price_asc&sc=1diamond&ec=5goldencrown&oi=true&mall=true"));
    }

    void priceField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("whileTyping");
        QTest::addColumn<int>("afterFocusLeaves");
        QTest::newRow("digits") << "1234" << 1234 << 1234;
        QTest::newRow("above the maximum") << "123456789" << 123456789 << 99999999;
        QTest::newRow("negative") << "-5" << -5 << 0;
        QTest::newRow("plus sign") << "+7" << 7 << 7;
        QTest::newRow("not an integer") << "1.5" << 0 << 0;
        QTest::newRow("letters refused") << "1a2b" << 12 << 12;
        QTest::newRow("only letters") << "xyz" << 0 << 0;
        QTest::newRow("lone minus") << "-" << 0 << 0;
    }

    void priceField() {
        QFETCH(QString, typed);
        QFETCH(int, whileTyping);
        QFETCH(int, afterFocusLeaves);
        PriceSpinEdit* sp = panel()->m_sp;
        focusOn(sp);
        sp->clear();
        QTest::keyClicks(sp, typed);
        QCOMPARE(sp->value(), whileTyping);
        focusOn(panel()->m_keyword);
        QCOMPARE(sp->value(), afterFocusLeaves);
    }

    void priceFieldSetByProgramClampsAndArrowsStep() {
        PriceSpinEdit* ep = panel()->m_ep;
        ep->setValue(123456789);
        QCOMPARE(ep->value(), 99999999);
        ep->setValue(-3);
        QCOMPARE(ep->value(), 0);
        focusOn(ep);
        QTest::keyClick(ep, Qt::Key_Up);
        QCOMPARE(ep->value(), 1);
        QTest::keyClick(ep, Qt::Key_Down);
        QTest::keyClick(ep, Qt::Key_Down);
        QCOMPARE(ep->value(), 0);
    }

    void enterRunsTheSearchOnlyWhenEnabled_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("enabled");
        for (const char* name : {"m_keyword", "m_sp", "m_cid", "m_co"}) {
            QTest::newRow(QByteArray(name).append(" enabled").constData()) << QString::fromLatin1(name) << true;
            QTest::newRow(QByteArray(name).append(" disabled").constData()) << QString::fromLatin1(name) << false;
        }
    }

    void enterRunsTheSearchOnlyWhenEnabled() {
        QFETCH(QString, focus);
        QFETCH(bool, enabled);
        panel()->m_soso->setEnabled(enabled);
        QSignalSpy clicked(panel()->m_soso, &QPushButton::clicked);
        auto* target = panel()->findChild<QWidget*>(focus);
        QVERIFY(target);
        focusOn(target);
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(clicked.count(), enabled ? 1 : 0);
    }

    void enterUsesATypedPriceAsTyped() {
        panel()->m_soso->setEnabled(true);
        QSignalSpy clicked(panel()->m_soso, &QPushButton::clicked);
        PriceSpinEdit* sp = panel()->m_sp;
        focusOn(sp);
        sp->clear();
        QTest::keyClicks(sp, QStringLiteral("100000000"));
        panel()->m_ep->setValue(5);
        QTest::keyClick(sp, Qt::Key_Enter);
        QCOMPARE(clicked.count(), 1);
        // The search swapped 100000000 and 5 and wrote them back, clamped.
        QCOMPARE(panel()->m_sp->value(), 5);
        QCOMPARE(panel()->m_ep->value(), 99999999);
    }

    void tabOrder() {
        const QList<QWidget*> order = panel()->tabOrder();
        const QStringList names{"m_keyword", "m_cid", "m_sp", "m_ep", "m_loc", "m_co", "m_sort", "m_sc", "m_ec",
                                "m_rd", "m_gu", "m_sr", "m_or", "m_oi", "m_mall", "m_soso", "m_soso2"};
        QCOMPARE(order.size(), names.size());
        panel()->m_soso->setEnabled(true);
        focusOn(order.first());
        for (qsizetype i = 0; i < order.size(); ++i) {
            QCOMPARE(order[i]->objectName(), names[i]);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), names[i]);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // The tab strip follows the panel.
        QTRY_VERIFY(m_form->tabStrip()->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == static_cast<QWidget*>(m_form->tabStrip()));
    }

    void launcherStartsTheProgramFromTheCurrentDirectory() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("search")));
        const QString program = dir.filePath(AdvancedSearchLauncher::programPath());
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho started > marker\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QList<QUrl> opened;
        m_form->shell().setUrlOpener([&opened](const QUrl& url) { opened << url; return true; });
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        m_form->panel()->m_soso2->click();
        QDir::setCurrent(before);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(QStringLiteral("marker"))), 10000);
        QVERIFY(opened.isEmpty());
    }

    void launcherFallsBackToThePage_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::newRow("no search folder") << false;
        QTest::newRow("file not executable") << true;
    }

    void launcherFallsBackToThePage() {
        QFETCH(bool, fileThere);
        QTemporaryDir dir;
        if (fileThere) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("search")));
            QFile file(dir.filePath(AdvancedSearchLauncher::programPath()));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QList<QUrl> opened;
        m_form->shell().setUrlOpener([&opened](const QUrl& url) { opened << url; return false; });
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path());
        m_form->panel()->m_soso2->click();  // a failing fallback is ignored too
        QDir::setCurrent(before);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first(), m_form->launcher().fallbackPage());
    }
};

QUORVEL_WEB_TEST_MAIN(PanelTest)
#include "PanelTest.moc"
