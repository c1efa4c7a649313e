#pragma once

#include <atomic>

namespace quorvel {

// Ctrl-C (SIGINT) and SIGTERM set a flag that long work polls, so that the
// command-line tools stop cleanly instead of dying mid-write.
class StopSignal {
public:
    static void install();
    static const std::atomic<bool>& flag();
    static bool requested() { return flag().load(); }
};

}  // namespace quorvel
