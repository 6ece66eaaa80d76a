// A simulated camera's frame at 2448 x 2048 against memcpy of its bytes:
// what producing one frame of a stream costs once its layout's plan (the
// tone table and the rows that do not change) is made.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame_plan.h"
#include "ratio_reporter.h"

namespace {

simsdk::FrameLayout FullFrame(const char* format) {
  simsdk::FrameLayout layout;
  layout.pixel_format = format;
  layout.width = 2448;
  layout.height = 2048;
  return layout;
}

const pixvane::PixelFormatInfo& Format(const char* name) {
  return *pixvane::FindPixelFormat(name);
}

void Render(benchmark::State& state, const char* format) {
  const simsdk::FramePlan plan(FullFrame(format), Format(format));
  std::vector<uint8_t> frame(plan.bytes());
  uint64_t number = 12345678;  // every digit drawn, none left as frame 0's
  for (auto _ : state) {
    plan.Render(number++, frame.data());
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
}

void Memcpy(benchmark::State& state, const char* format) {
  const simsdk::FramePlan plan(FullFrame(format), Format(format));
  std::vector<uint8_t> src(plan.bytes()), dst(plan.bytes());
  plan.Render(0, src.data());
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), dst.size());
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}

// Made once per layout or setting change, not per frame.
void MakePlan(benchmark::State& state, const char* format) {
  for (auto _ : state) {
    const simsdk::FramePlan plan(FullFrame(format), Format(format));
    benchmark::DoNotOptimize(&plan);
  }
}

void RegisterAll() {
  for (const char* format : {"Mono8", "Mono12Packed", "BayerRG8", "RGB8", "YUV422_8"}) {
    const std::string name = std::string("SimFrame_") + format;
    benchmark::RegisterBenchmark((name + "/render").c_str(), Render, format)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/memcpy").c_str(), Memcpy, format)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("SimPlan_" + std::string(format) + "/make").c_str(), MakePlan,
                                 format)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  return pixvane_bench::RunWithRatios(argc, argv);
}
