#include "QuickSearch.h"

#include <algorithm>

#include <QLocale>
#include <QStringList>

#include "QueryBuilder.h"
#include "ResultTabStrip.h"
#include "PageScript.h"
#include "SearchForm.h"
#include "WindowLayout.h"

namespace quorvel {

QuickSearch::QuickSearch(SearchForm& form, PageScript& page, ResultTabStrip& tabs, WindowLayout& window,
                         QObject* parent)
    : QObject(parent), m_form(form), m_page(page), m_tabs(tabs), m_window(window) {
    connect(&tabs, &ResultTabStrip::changed, this, &QuickSearch::m_tabChange);
    connect(&tabs, &ResultTabStrip::closing, this, &QuickSearch::m_tabClose);
    connect(&tabs, &ResultTabStrip::afterClose, this, &QuickSearch::m_tabAfterClose);
}

QString QuickSearch::TabCaption(const SearchSettings& s) {
    const QString category = QString::fromStdString(s.categoryText);
    if (s.keywordText.empty()) return category;
    return QStringLiteral("%1 - %2").arg(QString::fromStdString(s.keywordText), category);
}

void QuickSearch::m_sosoClick() {
    const SearchSettings settings = m_form.readSettings();
    const BuiltQuery built = BuildQuery(settings);
    // The ordered ranges go back to the panel even if the page call fails.
    if (built.priceSwapped) m_form.writePriceRange(built.priceFrom, built.priceTo);
    if (built.creditSwapped) m_form.writeCreditRange(built.creditFrom, built.creditTo);
    run(settings, built.query);
}

void QuickSearch::reopenClosed() {
    if (m_closed.empty()) return;
    const SearchSettings settings = m_closed.front();
    m_closed.pop_front();
    run(settings, BuildQuery(settings).query);
}

void QuickSearch::run(const SearchSettings& settings, const std::string& query) {
    const std::optional<int> b = m_page.SoItem(QString::fromStdString(query), 1);
    if (!b) return;  // a failed call leaves tabs, selection and window as they are
    if (*b == m_tabs.count()) {
        m_tabs.addTab(TabCaption(settings));
        m_tabSearches.resize(static_cast<std::size_t>(m_tabs.count() - 1));
        m_tabSearches.push_back(settings);
    }
    m_tabs.setCurrentIndex(*b);
    if (*b == 0) m_window.expand();
}

void QuickSearch::m_tabChange() { m_page.ShowPage(m_tabs.currentIndex()); }

void QuickSearch::m_tabClose(int index, bool* canClose) {
    // Remembered before the page is asked: the tab goes whatever it answers.
    if (index >= 0 && static_cast<std::size_t>(index) < m_tabSearches.size()) {
        m_closed.push_front(m_tabSearches[static_cast<std::size_t>(index)]);
        if (m_closed.size() > ReopenDepth) m_closed.pop_back();
        m_tabSearches.erase(m_tabSearches.begin() + index);
    }
    if (const std::optional<int> next = m_page.DelPage(index)) m_nextTabIndex = *next;
    *canClose = true;  // the tab goes whatever the page answered
}

void QuickSearch::m_tabAfterClose() {
    m_tabs.setCurrentIndex(m_nextTabIndex);
    if (m_nextTabIndex == -1) m_window.collapse();
}

void QuickSearch::pageLost() {
    m_tabs.clear();
    m_tabSearches.clear();
    m_window.collapse();
}

}  // namespace quorvel

namespace quorvel {

QString QuickSearch::DescribeSearch(const SearchSettings& s) {
    const auto text = [](std::string_view t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())).simplified(); };
    const int creditFrom = std::min(s.creditFrom, s.creditTo), creditTo = std::max(s.creditFrom, s.creditTo);
    const int priceFrom = std::min(s.priceFrom, s.priceTo), priceTo = std::max(s.priceFrom, s.priceTo);
    QStringList services;
    for (std::size_t f = 0; f < ServiceFilterTable().size(); ++f) {
        if (s.serviceFilters[f]) services << text(ServiceFilterTable()[f].caption);
    }
    QStringList lines{
        QStringLiteral("关键字：%1").arg(s.keywordText.empty() ? QStringLiteral("（无）") : text(s.keywordText)),
        QStringLiteral("类目：%1").arg(text(s.categoryText)),
        QStringLiteral("价格：%1 – %2 元").arg(priceFrom).arg(priceTo),
        QStringLiteral("所在地：%1").arg(text(s.locationText)),
        QStringLiteral("排序：%1").arg(text(SortTable().at(s.sortIndex).display)),
        QStringLiteral("信用：%1 – %2").arg(text(CreditTable().at(creditFrom).display), text(CreditTable().at(creditTo).display)),
        QStringLiteral("服务：%1").arg(services.isEmpty() ? QStringLiteral("不限") : services.join(QStringLiteral("、"))),
    };
    return lines.join(QLatin1Char('\n'));
}

QString QuickSearch::tabToolTip(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_tabSearches.size()) return {};
    QString tip = DescribeSearch(m_tabSearches[static_cast<std::size_t>(index)]);
    if (const std::optional<int> total = m_page.ResultCount(index); total && *total >= 0) {
        tip += QStringLiteral("\n共 %1 件商品").arg(QLocale(QLocale::English).toString(*total));
    }
    return tip;
}

}  // namespace quorvel
