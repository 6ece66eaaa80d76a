// The world the interface's fuzz targets run in: two small simulated
// cameras (frames of a few kilobytes, delivered on demand), the interface
// registered once, and a check after every run that nothing was left
// behind.
#pragma once

#include <cstdint>

#include "hostlayer/host_driver.h"

namespace hacq_fuzz {

inline constexpr char kMonoKey[] = "FUZZ-MONO";
inline constexpr char kColorKey[] = "FUZZ-COLOR";

// Installs the cameras and registers the interface.  Aborts when the
// interface cannot be loaded.  Call once, from LLVMFuzzerInitialize.
void StartWorld();

hostlayer::Driver& TheDriver();

// Ends a run: empties the host's and the simulator's logs (memory stays flat
// over millions of runs) and aborts when a host block, host mutex or SDK
// object is live beyond the start state, or a camera is still connected.
void FinishRun();

// Aborts with a message: a broken contract that no sanitizer sees.
[[noreturn]] void Fail(const char* what);

}  // namespace hacq_fuzz
