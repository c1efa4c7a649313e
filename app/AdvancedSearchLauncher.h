#pragma once

#include <QString>
#include <QUrl>

namespace quorvel {

class ShellOpener;

// Starts the advanced-search program shipped beside Quorvel, or opens its web
// page in the user's browser when it cannot be started. Shows nothing.
class AdvancedSearchLauncher {
public:
    AdvancedSearchLauncher(const ShellOpener& shell, QUrl fallbackPage);

    // The program, relative to the current directory.
    static QString programPath();

    void launch() const;

    const QUrl& fallbackPage() const { return m_fallbackPage; }

private:
    const ShellOpener& m_shell;
    QUrl m_fallbackPage;
};

}  // namespace quorvel
