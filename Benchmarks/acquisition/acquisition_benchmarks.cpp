// Costs of the grab's own work against memcpy of the same bytes.  Each
// iteration times the work and then one memcpy of the same number of bytes
// from the same source, so both see the same machine (other processes
// share its caches and memory bus); the reported ratio is the median of
// the per-iteration ratios.  The frame wait is not measured: frames are
// hand-made.  The ratios are printed at the end with their targets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "acquisition/frame_delivery.h"
#include "acquisition/image_building.h"
#include "acquisition/pixel_kernels.h"
#include "fake_frame.h"

namespace {

constexpr int32_t kWidth = 2448;
constexpr int32_t kHeight = 2048;
constexpr size_t kPixels = size_t(kWidth) * kHeight;

std::vector<uint8_t> Bytes(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 13 + (i >> 11));
  return v;
}

ImageRequest FullFrame(int32_t channels) {
  return ImageRequest{kWidth, kHeight, 0, 0, 1, 1, channels};
}

// Runs `work` once per iteration, followed by a memcpy of `bytes` bytes
// from `source`; the iteration time is the work's alone.
template <class Work>
void AgainstMemcpy(benchmark::State& state, const uint8_t* source, size_t bytes, Work work) {
  using Clock = std::chrono::steady_clock;
  std::vector<uint8_t> copy(bytes);
  std::vector<double> ratios;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    work();
    benchmark::ClobberMemory();
    const auto t1 = Clock::now();
    std::memcpy(copy.data(), source, bytes);
    benchmark::ClobberMemory();
    const auto t2 = Clock::now();
    const std::chrono::duration<double> own = t1 - t0, baseline = t2 - t1;
    state.SetIterationTime(own.count());
    ratios.push_back(own.count() / baseline.count());
  }
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  state.counters["vs_memcpy"] = ratios.empty() ? 0.0 : ratios[ratios.size() / 2];
}

// Widening gray to blue-green-red, against memcpy of its output size.
void WidenGrayToBgr(benchmark::State& state) {
  const std::vector<uint8_t> src = Bytes(3 * kPixels);
  std::vector<uint8_t> dst(3 * kPixels);
  const PixelKernels& kernels = ActivePixelKernels();
  AgainstMemcpy(state, src.data(), 3 * kPixels,
                [&] { kernels.widen_gray_to_bgr(src.data(), dst.data(), kPixels); });
}
BENCHMARK(WidenGrayToBgr)->UseManualTime();

// The plane split with the host's cache answer above 8 (one pass), against
// memcpy of the three planes it writes.
void ExtractChannels(benchmark::State& state) {
  const std::vector<uint8_t> src = Bytes(3 * kPixels);
  std::vector<uint8_t> a(kPixels), b(kPixels), c(kPixels);
  const ImageRequest request = FullFrame(3);
  AgainstMemcpy(state, src.data(), 3 * kPixels, [&] {
    ExtractChannelsFromRGB24(request, src.data(), a.data(), b.data(), c.data());
  });
}
BENCHMARK(ExtractChannels)->UseManualTime();

// The grab's work after a Mono8 frame arrived, as the grab does it:
// conversion and host images (copy-mode images are freed again, as the
// host would), against memcpy of the frame.
void GrabWork(benchmark::State& state, bool volatile_mode) {
  FakeFrame frame;
  frame.FillMono8(kWidth, kHeight, [](uint32_t r, uint32_t c) { return uint8_t(r ^ c); });
  std::vector<uint8_t> buffer(kPixels);
  const ImageRequest request = FullFrame(1);
  bool failed = false;
  AgainstMemcpy(state, frame.bytes.data(), kPixels, [&] {
    Himage image[3] = {};
    int32_t num_image = 0;
    HeldFrame held(frame.get());
    failed |=
        DeliverFrame(nullptr, request, volatile_mode, held,
                     RingSlot{buffer.data(), int64_t(kPixels)}, image, &num_image) != H_MSG_OK;
    if (!volatile_mode) HXFree(nullptr, image[0].pixel.p);
  });
  if (failed) state.SkipWithError("grab work failed");
}
BENCHMARK_CAPTURE(GrabWork, volatile_mono8, true)->UseManualTime();
BENCHMARK_CAPTURE(GrabWork, copy_mono8, false)->UseManualTime();

struct Target {
  const char* name;
  double ratio;
};
constexpr Target kTargets[] = {
    {"GrabWork/volatile_mono8/manual_time", 1.3},
    {"GrabWork/copy_mono8/manual_time", 2.3},
    {"ExtractChannels/manual_time", 1.15},
    {"WidenGrayToBgr/manual_time", 0.8},
};

// Keeps each benchmark's ratio (the median over its repetitions) beside
// the console output.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto counter = run.counters.find("vs_memcpy");
      if (run.run_type == Run::RT_Iteration && counter != run.counters.end())
        ratios_[run.run_name.str()].push_back(counter->second.value);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() {
    std::printf("\nratio against memcpy of the same bytes at %dx%d (target):\n", kWidth, kHeight);
    for (const Target& t : kTargets) {
      std::vector<double>& r = ratios_[t.name];
      if (r.empty()) continue;
      std::sort(r.begin(), r.end());
      const double median = r[r.size() / 2];
      std::printf("  %-36s %5.2f  (<= %.2f) %s\n", t.name, median, t.ratio,
                  median <= t.ratio ? "ok" : "OVER");
    }
  }

 private:
  std::map<std::string, std::vector<double>> ratios_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
