#include "KeywordSuggestions.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrlQuery>

namespace quorvel {
namespace {

constexpr int kMaxShown = 10;
constexpr int kRowHeight = 20;

QWidget* row(const QString& word, qint64 count) {
    auto* widget = new QWidget;
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(4, 0, 4, 0);
    auto* text = new QLabel;
    text->setTextFormat(Qt::PlainText);  // catalog text is text, never markup
    text->setText(word);
    auto* items = new QLabel(QLocale(QLocale::English).toString(count));
    items->setStyleSheet(QStringLiteral("color: #888;"));
    layout->addWidget(text, 1);
    layout->addWidget(items);
    return widget;
}

}  // namespace

KeywordSuggestions::KeywordSuggestions(QLineEdit* edit, QUrl suggestUrl, std::function<void()> search, QObject* parent)
    : QObject(parent), m_edit(edit), m_url(std::move(suggestUrl)), m_search(std::move(search)),
      m_network(new QNetworkAccessManager(this)), m_list(new QListWidget) {
    // A window of its own that never takes the focus: typing stays in the field.
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setObjectName(QStringLiteral("keywordSuggestions"));
    m_list->setFont(edit->font());
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_debounce.setSingleShot(true);
    m_debounce.setInterval(DebounceMs);
    connect(&m_debounce, &QTimer::timeout, this, &KeywordSuggestions::ask);
    // Committed text only: an input method's composition does not edit the text.
    connect(edit, &QLineEdit::textEdited, this, [this] {
        if (m_pending) m_pending->abort();
        m_debounce.start();
    });
    connect(m_list, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) { choose(m_list->row(item)); });
    edit->installEventFilter(this);
}

KeywordSuggestions::~KeywordSuggestions() {
    if (m_pending) m_pending->abort();
    delete m_list;
}

void KeywordSuggestions::ask() {
    const QString text = m_edit->text();
    if (text.trimmed().isEmpty() || !m_edit->hasFocus()) {
        close();
        return;
    }
    QUrl url = m_url;
    QUrlQuery query;
    // Every byte escaped, as the program's queries are.
    query.addQueryItem(QStringLiteral("q"), QString::fromLatin1(QUrl::toPercentEncoding(text)));
    query.addQueryItem(QStringLiteral("n"), QString::number(kMaxShown));
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setTransferTimeout(2000);
    emit asked();
    m_pending = m_network->get(request);
    QNetworkReply* reply = m_pending;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
}

void KeywordSuggestions::answered(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_pending) return;  // a later keystroke took over
    m_pending = nullptr;
    const QJsonArray found =
        reply->error() == QNetworkReply::NoError
            ? QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("suggestions")).toArray()
            : QJsonArray();
    if (found.isEmpty() || !m_edit->hasFocus()) {
        close();
        return;
    }
    m_list->clear();
    for (const QJsonValue& value : found) {
        const QJsonObject s = value.toObject();
        const QString word = s.value(QStringLiteral("text")).toString();
        auto* item = new QListWidgetItem(m_list);
        item->setData(Qt::UserRole, word);
        item->setSizeHint(QSize(0, kRowHeight));
        m_list->setItemWidget(item, row(word, static_cast<qint64>(s.value(QStringLiteral("count")).toDouble())));
    }
    m_list->setCurrentRow(-1);
    const QPoint below = m_edit->mapToGlobal(QPoint(0, m_edit->height()));
    m_list->setGeometry(below.x(), below.y(), std::max(m_edit->width() + 60, 200), m_list->count() * kRowHeight + 4);
    m_list->show();
    emit shown();
}

void KeywordSuggestions::choose(int row) {
    QListWidgetItem* item = m_list->item(row);
    if (!item) return;
    // The last word of what was typed is the one completed.
    QString text = m_edit->text();
    const qsizetype lastSpace = std::max(text.lastIndexOf(QLatin1Char(' ')), text.lastIndexOf(QChar(0x3000)));
    text = text.left(lastSpace + 1) + item->data(Qt::UserRole).toString();
    m_edit->setText(text);
    close();
    if (m_search) m_search();
}

void KeywordSuggestions::close() {
    m_debounce.stop();
    m_list->hide();
}

bool KeywordSuggestions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::FocusOut) {
        close();
    } else if (watched == m_edit && event->type() == QEvent::KeyPress && m_list->isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Down:
        case Qt::Key_Up: {
            const int step = key->key() == Qt::Key_Down ? 1 : -1;
            const int next = m_list->currentRow() + step;
            m_list->setCurrentRow(next < -1 ? m_list->count() - 1 : (next >= m_list->count() ? -1 : next));
            return true;
        }
        case Qt::Key_Escape:
            close();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_list->currentRow() >= 0) {
                choose(m_list->currentRow());
                return true;
            }
            close();  // Enter on the text as typed: the search as ever
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvel
