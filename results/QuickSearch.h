#pragma once

#include <QObject>
#include <QString>

namespace quorvel {

class PageScript;
class ResultTabStrip;
class SearchForm;
class WindowLayout;
struct SearchSettings;

// The quick search command and the tab rules: keeps one tab per result page
// of the results page, in the same order, and the window's height in step.
class QuickSearch : public QObject {
    Q_OBJECT
public:
    QuickSearch(SearchForm& form, PageScript& page, ResultTabStrip& tabs, WindowLayout& window,
                QObject* parent = nullptr);

    static QString TabCaption(const SearchSettings& settings);

    void m_sosoClick();
    void m_tabChange();
    void m_tabClose(int index, bool* canClose);
    void m_tabAfterClose();
    // The result pages are gone (renderer lost, page loaded again).
    void pageLost();

    int NextTabIndex() const { return m_nextTabIndex; }

private:
    SearchForm& m_form;
    PageScript& m_page;
    ResultTabStrip& m_tabs;
    WindowLayout& m_window;
    int m_nextTabIndex = 0;  // the latest answer of DelPage; kept after the close
};

}  // namespace quorvel
