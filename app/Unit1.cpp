#include "Unit1.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "AdvancedSearchLauncher.h"
#include "KeywordSuggestions.h"
#include "ProcessKiller.h"
#include "QuickSearch.h"
#include "ResultTabStrip.h"
#include "PageScriptBridge.h"
#include "GuardedWebPage.h"
#include "SearchPanel.h"
#include "ShellOpener.h"
#include "WindowPlacement.h"

namespace quorvel {

TForm1::TForm1(QUrl homePageUrl, PageScript* scriptedPage, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_homePageUrl(std::move(homePageUrl)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvel V2.0"));
    // Where Tahoma is missing, a face with both Latin and Chinese glyphs keeps
    // captions and numbers within the stored widths.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Microsoft YaHei"), QStringLiteral("DejaVu Sans")});
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    setFixedSize(ClientWidth, ExpandedClientHeight);

    Panel1 = new SearchPanel(this);
    Panel1->setGeometry(3, 3, 770, 62);

    m_tab = new ResultTabStrip(this);
    m_tab->setGeometry(3, 71, 770, 537);

    m_shell = std::make_unique<ShellOpener>();
    m_web = new QWebEngineView(m_tab);
    m_web->setObjectName(QStringLiteral("m_web"));
    m_web->setPage(new GuardedWebPage(
        m_homePageUrl, [this](const QUrl& url) { m_shell->open(url.toString(QUrl::FullyEncoded)); }, m_web));
    m_tab->setClient(m_web);  // fills the client area: 1, 1, 768, 535 while no tab is shown
    // Reload or back from a context menu would drop the result pages behind the tabs.
    m_web->setContextMenuPolicy(Qt::NoContextMenu);
    connect(m_web, &QWebEngineView::loadFinished, this, &TForm1::m_webDocumentComplete);

    m_bridge = new PageScriptBridge(m_web->page(), m_homePageUrl, PageScriptBridge::DefaultTimeout, this);
    m_bridge->setRendererKiller(&KillProcess);

    m_launcher = std::make_unique<AdvancedSearchLauncher>(*m_shell, m_homePageUrl.resolved(QUrl(QStringLiteral("advanced.html"))));
    m_quickSearch = new QuickSearch(*Panel1, scriptedPage ? *scriptedPage : static_cast<PageScript&>(*m_bridge),
                                    *m_tab, *this, this);
    connect(Panel1->m_soso, &QPushButton::clicked, m_quickSearch, &QuickSearch::m_sosoClick);
    connect(m_bridge, &PageScriptBridge::pageLost, m_quickSearch, &QuickSearch::pageLost);
    m_tab->setToolTips([this](int index) { return m_quickSearch->tabToolTip(index); });
    m_suggestions = new KeywordSuggestions(Panel1->m_keyword, m_homePageUrl.resolved(QUrl(QStringLiteral("api/suggest"))),
                                           [this] { if (Panel1->m_soso->isEnabled()) Panel1->m_soso->click(); }, this);

    // What users of tabbed programs expect, through the same rules as the
    // close button and a click. Window shortcuts come before the page's keys.
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, m_tab, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { m_tab->closeSelectedByUser(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), [this] { m_quickSearch->reopenClosed(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { m_tab->selectNextByUser(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { m_tab->selectNextByUser(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [this] { m_tab->selectNextByUser(-1); });
    connect(Panel1->m_soso2, &QPushButton::clicked, this, &TForm1::m_soso2Click);

    // The panel first in the tab order, the tab strip second.
    QWidget::setTabOrder(Panel1->tabOrder().constLast(), m_tab);

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    placeOnScreen();
    collapse();
    m_web->load(m_homePageUrl);
}

QMargins TForm1::frameMargins() const {
    const QRect inner = geometry();
    const QRect outer = frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void TForm1::placeOnScreen() {
    // The outer size of the expanded window is the client size plus the frame.
    // The frame is known only once the window manager has framed the window,
    // so this runs again when it becomes known (see event()).
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    m_placedWithFrame = frameMargins();
    const QSize outer(ClientWidth + m_placedWithFrame.left() + m_placedWithFrame.right(),
                      ExpandedClientHeight + m_placedWithFrame.top() + m_placedWithFrame.bottom());
    move(WindowPlacement(screen->size(), outer));
}

bool TForm1::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    if ((e->type() == QEvent::Move || e->type() == QEvent::Show) && frameMargins() != m_placedWithFrame) {
        placeOnScreen();
    }
    return handled;
}

void TForm1::expand() { setFixedSize(ClientWidth, ExpandedClientHeight); }

void TForm1::collapse() { setFixedSize(ClientWidth, CollapsedClientHeight); }

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere in the form runs the quick search, as its default button.
    // It arrives here after the focused control has seen it, so the price
    // fields' typed text already counts.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (inPage()) {
            // A key the page left alone comes back here from inside the
            // browser's handling of it, and the browser is not done with the
            // key until its release: a synchronous call into the page made
            // before then can go unanswered. The search runs on the release.
            m_enterInPage = true;
        } else {
            m_enterInPage = false;  // a press whose release never came back from the page
            if (Panel1->m_soso->isEnabled()) Panel1->m_soso->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_enterInPage) {
        m_enterInPage = false;
        // Queued: the release too comes from inside the browser's handling.
        QMetaObject::invokeMethod(
            this, [this] { if (Panel1->m_soso->isEnabled()) Panel1->m_soso->click(); }, Qt::QueuedConnection);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

bool TForm1::inPage() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == m_web || m_web->isAncestorOf(focus));
}

void TForm1::m_soso2Click() { m_launcher->launch(); }

void TForm1::m_webDocumentComplete(bool) {
    // Any finished load, failed ones included, opens the search for use.
    m_documentCompleted = true;
    updateSearchEnabled();
}

void TForm1::catalogOpening() {
    m_catalogOpening = true;
    updateSearchEnabled();
}

void TForm1::catalogOpened() {
    m_catalogOpening = false;
    updateSearchEnabled();
}

void TForm1::updateSearchEnabled() {
    // Nothing disables the button again once it is enabled.
    if (m_documentCompleted && !m_catalogOpening) Panel1->m_soso->setEnabled(true);
}

}  // namespace quorvel
