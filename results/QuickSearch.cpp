#include "QuickSearch.h"

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

    const std::optional<int> b = m_page.SoItem(QString::fromStdString(built.query), 1);
    if (!b) return;  // a failed call leaves tabs, selection and window as they are
    if (*b == m_tabs.count()) m_tabs.addTab(TabCaption(settings));
    m_tabs.setCurrentIndex(*b);
    if (*b == 0) m_window.expand();
}

void QuickSearch::m_tabChange() { m_page.ShowPage(m_tabs.currentIndex()); }

void QuickSearch::m_tabClose(int index, bool* canClose) {
    if (const std::optional<int> next = m_page.DelPage(index)) m_nextTabIndex = *next;
    *canClose = true;  // the tab goes whatever the page answered
}

void QuickSearch::m_tabAfterClose() {
    m_tabs.setCurrentIndex(m_nextTabIndex);
    if (m_nextTabIndex == -1) m_window.collapse();
}

void QuickSearch::pageLost() {
    m_tabs.clear();
    m_window.collapse();
}

}  // namespace quorvel
