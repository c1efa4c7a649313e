#include "ResultTabStrip.h"

#include <QFont>

#include "ResultTabBar.h"

namespace quorvel {
namespace {
constexpr int kItemHeight = 20;
}

ResultTabStrip::ResultTabStrip(QWidget* parent) : QWidget(parent), m_bar(new ResultTabBar(this)) {
    setObjectName(QStringLiteral("m_tab"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    m_bar->setFont(font);
    m_bar->setTabsClosable(true);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setElideMode(Qt::ElideRight);
    m_bar->setStyleSheet(QStringLiteral(
        "QTabBar::tab { height: %1px; margin-right: 1px; padding: 0 4px; border: 1px solid #b9b9b9;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px; background: #e4e4e4; }"
        "QTabBar::tab:selected { background: #ffffff; }").arg(kItemHeight));
    m_bar->hide();

    connect(m_bar, &QTabBar::currentChanged, this, &ResultTabStrip::onBarCurrentChanged);
    // A press on the tab the bar already shows raises no currentChanged; it is
    // still a user selection while the strip has no tab selected.
    connect(m_bar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == m_bar->currentIndex() && index != m_current) onBarCurrentChanged(index);
    });
    connect(m_bar, &QTabBar::tabCloseRequested, this, &ResultTabStrip::closeByUser);
    connect(m_bar, &ResultTabBar::middleClicked, this, &ResultTabStrip::closeByUser);
}

QTabBar* ResultTabStrip::bar() const { return m_bar; }

void ResultTabStrip::setToolTips(std::function<QString(int index)> toolTips) { m_bar->setToolTips(std::move(toolTips)); }

void ResultTabStrip::setClient(QWidget* client) {
    m_client = client;
    client->setParent(this);
    layoutClient();
}

int ResultTabStrip::count() const { return m_bar->count(); }

QString ResultTabStrip::caption(int index) const {
    QString text = m_bar->tabText(index);
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

void ResultTabStrip::addTab(const QString& caption) {
    m_programChange = true;
    QString escaped = caption;
    m_bar->addTab(escaped.replace(QLatin1Char('&'), QStringLiteral("&&")));  // "&" is text, not a shortcut mark
    m_programChange = false;
    m_bar->show();
    layoutClient();
}

void ResultTabStrip::setCurrentIndex(int index) {
    m_current = index >= 0 && index < count() ? index : -1;
    if (m_current >= 0) {
        m_programChange = true;
        m_bar->setCurrentIndex(m_current);
        m_programChange = false;
    }
}

void ResultTabStrip::clear() {
    m_programChange = true;
    while (m_bar->count() > 0) m_bar->removeTab(m_bar->count() - 1);
    m_programChange = false;
    m_current = -1;
    m_bar->hide();
    layoutClient();
}

void ResultTabStrip::selectByUser(int index) {
    if (index < 0 || index >= count()) return;
    if (index == m_current && m_bar->currentIndex() == index) return;
    if (m_bar->currentIndex() != index) {
        m_bar->setCurrentIndex(index);  // reported through onBarCurrentChanged
    } else {
        onBarCurrentChanged(index);  // the bar shows it already, but it was not selected
    }
}

void ResultTabStrip::closeByUser(int index) {
    if (index < 0 || index >= count()) return;
    if (index != m_current) selectByUser(index);
    closeSelectedByUser();
}

void ResultTabStrip::closeSelectedByUser() {
    const int index = m_current;
    if (index < 0 || index >= count()) return;  // no tab selected: nothing to close
    bool canClose = true;
    emit closing(index, &canClose);
    if (!canClose || index >= count()) return;
    m_programChange = true;
    m_bar->removeTab(index);
    m_programChange = false;
    m_current = -1;
    if (count() == 0) m_bar->hide();
    layoutClient();
    repaint();
    emit afterClose();
}

void ResultTabStrip::selectNextByUser(int step) {
    const int n = count();
    if (n == 0) return;
    const int from = m_current < 0 ? (step > 0 ? -1 : 0) : m_current;
    selectByUser(((from + step) % n + n) % n);
}

void ResultTabStrip::onBarCurrentChanged(int index) {
    if (m_programChange || index < 0) return;
    m_current = index;
    emit changed();
}

void ResultTabStrip::resizeEvent(QResizeEvent*) { layoutClient(); }

void ResultTabStrip::layoutClient() {
    const int barHeight = m_bar->isVisibleTo(this) ? m_bar->sizeHint().height() : 0;
    m_bar->setGeometry(1, 0, width() - 2, barHeight);
    if (m_client) m_client->setGeometry(1, barHeight + 1, width() - 2, height() - barHeight - 2);
}

}  // namespace quorvel
