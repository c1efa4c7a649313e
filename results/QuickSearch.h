#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "SearchSettings.h"

namespace quorvel {

class PageScript;
class ResultTabStrip;
class SearchForm;
class WindowLayout;

// The quick search command and the tab rules: keeps one tab per result page
// of the results page, in the same order, and the window's height in step.
class QuickSearch : public QObject {
    Q_OBJECT
public:
    QuickSearch(SearchForm& form, PageScript& page, ResultTabStrip& tabs, WindowLayout& window,
                QObject* parent = nullptr);

    static QString TabCaption(const SearchSettings& settings);

    void m_sosoClick();
    // Runs the most recently closed tab's search again (Ctrl+Shift+T), through
    // the same path as a search from the form; the form is left as it is.
    void reopenClosed();
    // The tab's search in words, with its number of results when the page
    // knows it; empty for an index naming no tab.
    QString tabToolTip(int index) const;
    static QString DescribeSearch(const SearchSettings& settings);

    static constexpr std::size_t ReopenDepth = 10;  // closed searches remembered, newest first
    void m_tabChange();
    void m_tabClose(int index, bool* canClose);
    void m_tabAfterClose();
    // The result pages are gone (renderer lost, page loaded again).
    void pageLost();

    int NextTabIndex() const { return m_nextTabIndex; }

private:
    void run(const SearchSettings& settings, const std::string& query);

    SearchForm& m_form;
    PageScript& m_page;
    ResultTabStrip& m_tabs;
    WindowLayout& m_window;
    int m_nextTabIndex = 0;  // the latest answer of DelPage; kept after the close
    std::vector<SearchSettings> m_tabSearches;  // the search of each tab, in tab order
    std::deque<SearchSettings> m_closed;        // closed tabs' searches, newest first
};

}  // namespace quorvel
