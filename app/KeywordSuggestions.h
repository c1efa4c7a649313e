#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QNetworkAccessManager;
class QNetworkReply;

namespace quorvel {

// Suggestions while typing in the keyword field: a moment after the last
// keystroke (only committed text: an input method's composition is not
// text yet) the results service is asked for words of the catalog's titles,
// and up to ten show in a list below the field with the number of items each
// finds. Up and Down choose, Enter or a click fills the keyword and runs the
// search; Escape closes the list and leaves the text. The list never takes
// the focus, and a slow or failed answer shows nothing.
class KeywordSuggestions : public QObject {
    Q_OBJECT
public:
    static constexpr int DebounceMs = 150;

    // suggestUrl: the service's api/suggest; search runs the quick search.
    KeywordSuggestions(QLineEdit* edit, QUrl suggestUrl, std::function<void()> search, QObject* parent = nullptr);
    ~KeywordSuggestions() override;

    QListWidget* list() const { return m_list; }

signals:
    void asked();  // the pause after typing is over: the service is asked
    void shown();  // a list of suggestions was put up

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ask();
    void answered(QNetworkReply* reply);
    void choose(int row);
    void close();

    QLineEdit* m_edit;
    QUrl m_url;
    std::function<void()> m_search;
    QNetworkAccessManager* m_network;
    QTimer m_debounce;
    QPointer<QNetworkReply> m_pending;
    QListWidget* m_list;
};

}  // namespace quorvel
