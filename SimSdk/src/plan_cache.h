// Frame plans of the layouts used last, shared by streams, RenderFrame
// and tests.  Thread-safe; independent of Sim::mutex.
#pragma once

#include <memory>

#include "frame_plan.h"

namespace simsdk {

// The plan for `layout`, made when it is not cached (FrameBytes of the
// layout must be nonzero).
std::shared_ptr<const FramePlan> CachedPlan(const FrameLayout& layout,
                                            const pixvane::PixelFormatInfo& format);

}  // namespace simsdk
