#pragma once

#include <QMargins>
#include <QUrl>
#include <QWidget>

#include "WindowHeights.h"

class QWebEngineView;

namespace quorvel {

class SearchPanel;
class ResultsPageBridge;

// The main window: the search panel, the result tab strip and the embedded
// browser showing the results page.
class TForm1 : public QWidget, public WindowHeights {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 777;

    explicit TForm1(QUrl homePageUrl, QWidget* parent = nullptr);

    void expand() override;
    void collapse() override;
    int clientHeight() const { return height(); }

    SearchPanel* panel() const { return Panel1; }
    QWidget* tabStrip() const { return m_tab; }
    QWebEngineView* web() const { return m_web; }
    ResultsPageBridge* bridge() const { return m_bridge; }

protected:
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void m_webDocumentComplete(bool ok);
    void placeOnScreen();
    QMargins frameMargins() const;

    QUrl m_homePageUrl;
    SearchPanel* Panel1;
    QWidget* m_tab;
    QWebEngineView* m_web;
    ResultsPageBridge* m_bridge;
    QMargins m_placedWithFrame;  // the frame the current position was computed with
};

}  // namespace quorvel
