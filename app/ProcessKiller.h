#pragma once

#include <QtGlobal>

namespace quorvel {

// Ends a process at once; the one platform call the bridge needs to recover
// from a renderer that no longer answers. Returns whether it was sent.
bool KillProcess(qint64 pid);

}  // namespace quorvel
