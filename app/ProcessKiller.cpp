#include "ProcessKiller.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/types.h>
#endif

namespace quorvel {

bool KillProcess(qint64 pid) {
    if (pid <= 0) return false;
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (!process) return false;
    const bool ok = TerminateProcess(process, 1) != 0;
    CloseHandle(process);
    return ok;
#else
    return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
#endif
}

}  // namespace quorvel
