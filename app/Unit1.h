#pragma once

#include <memory>

#include <QMargins>
#include <QUrl>
#include <QWidget>

#include "WindowLayout.h"

class QWebEngineView;

namespace quorvel {

class AdvancedSearchLauncher;
class KeywordSuggestions;
class QuickSearch;
class PageScript;
class PageScriptBridge;
class ResultTabStrip;
class SearchPanel;
class ShellOpener;

// The main window: the search panel, the result tab strip and the embedded
// browser showing the results page.
class TForm1 : public QWidget, public WindowLayout {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 777;
    static constexpr int CollapsedClientHeight = 68;   // the search panel alone
    static constexpr int ExpandedClientHeight = 613;   // with the result tabs and the browser

    // scriptedPage stands in for the loaded page's functions (tests of the tab
    // rules); by default the window calls the page in its browser.
    explicit TForm1(QUrl homePageUrl, PageScript* scriptedPage = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // Where the program runs its own service, the quick search also waits
    // for the catalog: call catalogOpening() before the event loop runs and
    // catalogOpened() once it is open.
    void catalogOpening();
    void catalogOpened();

    void expand() override;
    void collapse() override;
    int clientHeight() const { return height(); }

    SearchPanel* panel() const { return Panel1; }
    ResultTabStrip* tabStrip() const { return m_tab; }
    QuickSearch* quickSearch() const { return m_quickSearch; }
    QWebEngineView* web() const { return m_web; }
    PageScriptBridge* bridge() const { return m_bridge; }
    ShellOpener& shell() const { return *m_shell; }
    KeywordSuggestions* suggestions() const { return m_suggestions; }
    const AdvancedSearchLauncher& launcher() const { return *m_launcher; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void m_webDocumentComplete(bool ok);
    void m_soso2Click();
    void placeOnScreen();
    void updateSearchEnabled();
    bool inPage() const;  // the keyboard focus is inside the embedded browser
    QMargins frameMargins() const;

    QUrl m_homePageUrl;
    SearchPanel* Panel1;
    ResultTabStrip* m_tab;
    QWebEngineView* m_web;
    PageScriptBridge* m_bridge;
    QuickSearch* m_quickSearch;
    KeywordSuggestions* m_suggestions;
    std::unique_ptr<ShellOpener> m_shell;
    std::unique_ptr<AdvancedSearchLauncher> m_launcher;
    QMargins m_placedWithFrame;
    bool m_documentCompleted = false;
    bool m_catalogOpening = false;
    bool m_enterInPage = false;  // Enter went down inside the page: search when it comes up  // the frame the current position was computed with
};

}  // namespace quorvel
