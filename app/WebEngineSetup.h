#pragma once

namespace quorvel {

// Call before the QApplication is created. Chromium refuses to start its
// sandbox for the root user (containers, CI); there it must run without it.
void PrepareWebEngine();

}  // namespace quorvel
