#pragma once

#include <functional>

#include <QUrl>
#include <QWebEnginePage>

namespace quorvel {

// The browser page holding the results page. It never navigates away from
// it: an item link the user follows (also into a new window) goes to the
// user's browser through the opener, http and https only; every other
// navigation away from the page's own address is refused, since it would
// drop the result pages behind the tabs.
class GuardedWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl&)>;

    GuardedWebPage(QUrl homePage, Opener opener, QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void openOutside(const QUrl& url) const;

    QUrl m_homePage;
    Opener m_opener;
};

}  // namespace quorvel
