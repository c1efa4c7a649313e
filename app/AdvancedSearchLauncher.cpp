#include "AdvancedSearchLauncher.h"

#include "ShellOpener.h"

namespace quorvel {

AdvancedSearchLauncher::AdvancedSearchLauncher(const ShellOpener& shell, QUrl fallbackPage)
    : m_shell(shell), m_fallbackPage(std::move(fallbackPage)) {}

QString AdvancedSearchLauncher::programPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("search\\高级搜索.exe");
#else
    return QStringLiteral("search/高级搜索");
#endif
}

void AdvancedSearchLauncher::launch() const {
    if (m_shell.open(programPath())) return;
    // Any failure to start the program sends the user to its page; a failure
    // of that too is left alone, as there is nothing more to offer.
    (void)m_shell.open(m_fallbackPage.toString());
}

}  // namespace quorvel
