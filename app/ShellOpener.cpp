#include "ShellOpener.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>

namespace quorvel {

ShellOpener::ShellOpener() : m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

bool ShellOpener::open(const QString& fileOrUrl) const {
    const QUrl url(fileOrUrl, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) return m_openUrl(url);
    // A relative path is resolved against the current directory, never the executable's.
    return QProcess::startDetached(QDir::current().absoluteFilePath(fileOrUrl), {}, QString());
}

}  // namespace quorvel
