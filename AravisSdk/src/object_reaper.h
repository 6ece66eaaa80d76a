// Releases Aravis objects, and does other slow clean-up, on a thread of
// its own.  The objects of a lost GigE Vision device take Aravis's
// time-outs to release (seconds per object), which no caller should sit
// through.
#pragma once

#include <functional>

namespace arvsdk {

// Runs `job` on the reaper thread, after the jobs posted before it.
void RunLater(std::function<void()> job);

}  // namespace arvsdk
