#pragma once

#include <functional>

#include <QString>
#include <QUrl>

namespace quorvel {

// The shell's "open": a program file is started detached, with no arguments
// and the caller's current directory; a web address opens in the user's
// browser. Reports whether it worked.
class ShellOpener {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    ShellOpener();

    bool open(const QString& fileOrUrl) const;

    // Tests replace the browser so that nothing opens on the machine.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

private:
    UrlOpener m_openUrl;
};

}  // namespace quorvel
