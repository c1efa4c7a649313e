#include "StopSignal.h"

#include <csignal>

namespace quorvel {
namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onStopSignal(int) { g_stop.store(true); }

}  // namespace

void StopSignal::install() {
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

const std::atomic<bool>& StopSignal::flag() { return g_stop; }

}  // namespace quorvel
