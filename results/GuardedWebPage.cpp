#include "GuardedWebPage.h"

namespace quorvel {
namespace {

bool isWeb(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Takes the first navigation of a window the page asked for, hands its
// address over, and goes away: no window opens inside the program.
class LinkCatcher : public QWebEnginePage {
public:
    LinkCatcher(std::function<void(const QUrl&)> take, QObject* parent)
        : QWebEnginePage(parent), m_take(std::move(take)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (m_take) m_take(url);
        m_take = nullptr;
        deleteLater();
        return false;
    }

private:
    std::function<void(const QUrl&)> m_take;
};

}  // namespace

GuardedWebPage::GuardedWebPage(QUrl homePage, Opener opener, QObject* parent)
    : QWebEnginePage(parent), m_homePage(std::move(homePage)), m_opener(std::move(opener)) {}

void GuardedWebPage::openOutside(const QUrl& url) const {
    if (isWeb(url) && m_opener) m_opener(url);
}

bool GuardedWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!isMainFrame) return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    if (type == NavigationTypeLinkClicked) {
        openOutside(url);
        return false;
    }
    // Loads the program makes (start, recovery) and their redirects stay on the page's own site.
    const bool home = url.scheme() == m_homePage.scheme() && url.host() == m_homePage.host() &&
                      url.port() == m_homePage.port();
    const bool programLoad = type == NavigationTypeTyped || type == NavigationTypeRedirect ||
                             type == NavigationTypeReload || type == NavigationTypeOther;
    return home && programLoad;
}

QWebEnginePage* GuardedWebPage::createWindow(WebWindowType) {
    return new LinkCatcher([this](const QUrl& url) { openOutside(url); }, this);
}

}  // namespace quorvel
