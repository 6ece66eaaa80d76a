#include "plan_cache.h"

#include <deque>
#include <mutex>

namespace simsdk {
namespace {

// A few layouts cover a test or a benchmark; more would only hold memory.
constexpr size_t kCachedLayouts = 4;

struct Cache {
  std::mutex mutex;
  std::deque<std::shared_ptr<const FramePlan>> plans;
};

Cache& TheCache() {
  static Cache* const cache = new Cache;
  return *cache;
}

}  // namespace

std::shared_ptr<const FramePlan> CachedPlan(const FrameLayout& layout,
                                            const pixvane::PixelFormatInfo& format) {
  Cache& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  for (const auto& plan : cache.plans)
    if (plan->layout() == layout) return plan;
  auto plan = std::make_shared<const FramePlan>(layout, format);
  if (cache.plans.size() == kCachedLayouts) cache.plans.pop_front();
  cache.plans.push_back(plan);
  return plan;
}

std::vector<uint8_t> RenderFrame(const FrameLayout& layout, uint64_t frame) {
  const pixvane::PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  if (!format) return {};
  std::vector<uint8_t> out(FrameBytes(layout, *format));
  if (!out.empty()) CachedPlan(layout, *format)->Render(frame, out.data());
  return out;
}

}  // namespace simsdk
