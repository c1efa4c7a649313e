#include "PageScriptBridge.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QWebEnginePage>

#include "PageResultConverter.h"
#include "SyncScriptRunner.h"

namespace quorvel {
namespace {

// Reports what the function did in a form that survives the trip to C++:
// runJavaScript turns undefined, null, NaN and exceptions alike into nothing.
const char kCallWrapper[] = R"JS((function (name, args) {
  var f = window[name];
  if (typeof f !== 'function') return { outcome: 'missing' };
  var r;
  try { r = f.apply(window, args); } catch (e) { return { outcome: 'threw', text: String(e) }; }
  var t = r === null ? 'null' : typeof r;
  if (t === 'number') return { outcome: 'value', type: t, finite: isFinite(r), number: isFinite(r) ? r : 0 };
  if (t === 'string') return { outcome: 'value', type: t, text: r };
  return { outcome: 'value', type: t };
})(%1, %2))JS";

QString toJson(const QJsonValue& value) {
    // A one-element array gives valid JSON for any value; strip the brackets.
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

}  // namespace

PageScriptBridge::PageScriptBridge(QWebEnginePage* page, QUrl homePage, std::chrono::milliseconds timeout,
                                   QObject* parent)
    : QObject(parent), m_page(page), m_homePage(std::move(homePage)),
      m_runner(new SyncScriptRunner(page, timeout, this)) {
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &PageScriptBridge::onRendererTerminated);
}

std::optional<int> PageScriptBridge::SoItem(const QString& query, int n) {
    return callForIndex(QStringLiteral("SoItem"), QJsonArray{query, n});
}

bool PageScriptBridge::ShowPage(int index) {
    const QVariantMap report = call(QStringLiteral("ShowPage"), QJsonArray{index}).toMap();
    return report.value(QStringLiteral("outcome")).toString() == QLatin1String("value");
}

std::optional<int> PageScriptBridge::DelPage(int index) {
    return callForIndex(QStringLiteral("DelPage"), QJsonArray{index});
}

std::optional<int> PageScriptBridge::ResultCount(int index) {
    const std::optional<int> total = callForIndex(QStringLiteral("ResultCount"), QJsonArray{index});
    return total && *total >= 0 ? total : std::nullopt;
}

std::optional<int> PageScriptBridge::callForIndex(const QString& name, const QJsonArray& args) {
    return PageResultConverter::fromReport(call(name, args));
}

QVariant PageScriptBridge::call(const QString& name, const QJsonArray& args) {
    const QString script = QString::fromLatin1(kCallWrapper)
                               .arg(toJson(name), QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact)));
    const SyncScriptRunner::Outcome outcome = m_runner->run(script);
    if (outcome.status == SyncScriptRunner::Status::TimedOut) recover();
    return outcome.status == SyncScriptRunner::Status::Answered ? outcome.value : QVariant();
}

void PageScriptBridge::recover() {
    // A hung renderer answers nothing again; ending it lets the page load anew
    // (onRendererTerminated does that). Where it cannot be ended, load at once.
    if (!m_kill || !m_kill(m_page->renderProcessPid())) {
        m_page->load(m_homePage);
        emit pageLost();
    }
}

void PageScriptBridge::onRendererTerminated() {
    // Queued: the page must not be reloaded from inside its own termination signal.
    QMetaObject::invokeMethod(this, [this] { m_page->load(m_homePage); }, Qt::QueuedConnection);
    emit pageLost();
}

}  // namespace quorvel
