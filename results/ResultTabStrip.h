#pragma once

#include <functional>

#include <QWidget>

class QTabBar;

namespace quorvel {

class ResultTabBar;

// m_tab: the result tab strip with the browser below it. Adapts QTabBar to
// the events the tab rules rely on:
//  - changed() only for a selection by the user (mouse, keyboard), never for
//    one made by the program nor for adding or removing tabs;
//  - the close button (also Ctrl+W and a middle click) acts on the selected
//    tab: pressing it on an unselected tab first selects that tab as a user
//    selection, then closing(index, &canClose) runs with canClose true, and
//    only if it is still true the tab is removed and afterClose() follows;
//  - "no tab selected" (-1) is a state of its own, even while tabs exist.
class ResultTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit ResultTabStrip(QWidget* parent = nullptr);

    // The widget shown below the tabs, filling the client area.
    void setClient(QWidget* client);

    int count() const;
    int currentIndex() const { return m_current; }
    QString caption(int index) const;
    QTabBar* bar() const;
    // What a tab's tooltip says, asked for each time it shows.
    void setToolTips(std::function<QString(int index)> toolTips);

    // Program actions: they raise no change event.
    void addTab(const QString& caption);  // the text is shown as typed, "&" included
    void setCurrentIndex(int index);      // an index naming no tab leaves none selected
    void clear();

    // User actions, also used by the window's shortcuts.
    void selectByUser(int index);
    void closeByUser(int index);
    void closeSelectedByUser();
    void selectNextByUser(int step);

signals:
    void changed();
    void closing(int index, bool* canClose);
    void afterClose();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onBarCurrentChanged(int index);
    void layoutClient();

    ResultTabBar* m_bar;
    QWidget* m_client = nullptr;
    int m_current = -1;
    bool m_programChange = false;
};

}  // namespace quorvel
