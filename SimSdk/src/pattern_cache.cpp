#include "pattern_cache.h"

#include <deque>
#include <mutex>
#include <utility>

#include "frame_pattern.h"

namespace simsdk {
namespace {

// A few layouts cover a test or a benchmark; more would only hold memory.
constexpr size_t kCachedLayouts = 4;

struct Cache {
  std::mutex mutex;
  std::deque<std::pair<FrameLayout, std::shared_ptr<const std::vector<uint8_t>>>> entries;
};

Cache& TheCache() {
  static Cache* const cache = new Cache;
  return *cache;
}

}  // namespace

bool SameLayout(const FrameLayout& a, const FrameLayout& b) {
  return a.pixel_format == b.pixel_format && a.width == b.width && a.height == b.height &&
         a.reverse_x == b.reverse_x && a.reverse_y == b.reverse_y && a.padding_x == b.padding_x &&
         a.padding_y == b.padding_y;
}

std::shared_ptr<const std::vector<uint8_t>> CachedRender(const FrameLayout& layout,
                                                         const pixvane::PixelFormatInfo& format) {
  Cache& cache = TheCache();
  std::lock_guard lock(cache.mutex);
  for (const auto& [key, bytes] : cache.entries)
    if (SameLayout(key, layout)) return bytes;
  auto bytes = std::make_shared<std::vector<uint8_t>>(FrameBytes(layout, format));
  RenderInto(layout, format, 0, bytes->data());
  if (cache.entries.size() == kCachedLayouts) cache.entries.pop_front();
  cache.entries.emplace_back(layout, bytes);
  return bytes;
}

}  // namespace simsdk
