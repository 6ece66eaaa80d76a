// Single-thread conversion speed at 2448 x 2048, against memcpy of the same
// output bytes and, when built with it, OpenCV's cvtColor.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>

#include "conversion.h"
#include "pixvane/isa_override.h"
#include "pixvane/pixel_formats.h"
#include "ratio_reporter.h"

#ifdef PIXVANE_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr uint32_t kWidth = 2448;
constexpr uint32_t kHeight = 2048;

enum class Out { Mono8 = 1, Bgr24 = 3 };

// Page-aligned, as camera drivers and hosts hand out frame buffers.  Heap
// addresses would change the buffers' alignment from run to run, and with
// it the timing of every variant, memcpy's included.
class Buffer {
 public:
  explicit Buffer(size_t size)
      : size_(size), data_(static_cast<uint8_t*>(std::aligned_alloc(kPage, RoundUp(size)))) {
    if (data_ == nullptr) throw std::bad_alloc();
    std::memset(data_.get(), 0, size_);  // touch every page before timing
  }
  uint8_t* data() const { return data_.get(); }
  size_t size() const { return size_; }

 private:
  static constexpr size_t kPage = 4096;
  static size_t RoundUp(size_t n) { return (n + kPage - 1) / kPage * kPage; }
  struct Free {
    void operator()(uint8_t* p) const { std::free(p); }
  };
  size_t size_;
  std::unique_ptr<uint8_t, Free> data_;
};

Buffer RandomBytes(size_t n) {
  Buffer b(n);
  std::mt19937 rng(42);
  for (size_t i = 0; i < n; ++i) b.data()[i] = static_cast<uint8_t>(rng());
  return b;
}

ConversionInfo FullFrame(uint32_t code) {
  const auto bytes = pixvane::RowBytes(*pixvane::FindPixelFormat(code), kWidth) * kHeight;
  return ConversionInfo{kWidth, kHeight, 0, 0, static_cast<uint32_t>(bytes), code};
}

void Pixvane(benchmark::State& state, uint32_t code, Out out, pixvane::Isa isa) {
  if (!pixvane::ForceIsa(isa)) {
    state.SkipWithError("level not supported here");
    return;
  }
  const ConversionInfo info = FullFrame(code);
  const Buffer src = RandomBytes(info.data_size);
  const Buffer dst(size_t{kWidth} * kHeight * static_cast<size_t>(out));
  for (auto _ : state) {
    int32_t len = 0;
    const int32_t status = out == Out::Mono8
                               ? PXVANE_ConvertToMono8(src.data(), &info, dst.data(), &len)
                               : PXVANE_ConvertToBGR24(src.data(), &info, dst.data(), &len);
    if (status != 0) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  pixvane::ResetIsa();
}

void Memcpy(benchmark::State& state, Out out) {
  const size_t bytes = size_t{kWidth} * kHeight * static_cast<size_t>(out);
  const Buffer src = RandomBytes(bytes);
  const Buffer dst(bytes);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}

// A floor under every conversion of the case: reading its source once and
// writing nothing.  memchr scans at the full read bandwidth and, in zeros,
// never finds its 0xFF.
void ReadSource(benchmark::State& state, uint32_t code) {
  const Buffer src(FullFrame(code).data_size);
  for (auto _ : state) {
    const void* found = std::memchr(src.data(), 0xFF, src.size());
    benchmark::DoNotOptimize(found);
  }
}

#ifdef PIXVANE_BENCH_OPENCV
void OpenCv(benchmark::State& state, int code, Out out) {
  cv::setNumThreads(1);
  const auto bytes = RandomBytes(size_t{kWidth} * kHeight);
  const cv::Mat src(kHeight, kWidth, CV_8UC1, bytes.data());
  const Buffer dst_bytes(size_t{kWidth} * kHeight * static_cast<size_t>(out));
  cv::Mat dst(kHeight, kWidth, out == Out::Mono8 ? CV_8UC1 : CV_8UC3, dst_bytes.data());
  for (auto _ : state) {
    cv::cvtColor(src, dst, code);
    benchmark::DoNotOptimize(dst.data);
    benchmark::ClobberMemory();
  }
}
#endif

struct Case {
  const char* name;
  uint32_t code;
  Out out;
  int opencv_code;  // -1: no OpenCV counterpart
};

void RegisterAll() {
  using pixvane::Isa;
#ifdef PIXVANE_BENCH_OPENCV
  const int bayer_bgr = cv::COLOR_BayerRG2BGR, bayer_gray = cv::COLOR_BayerRG2GRAY;
#else
  const int bayer_bgr = -1, bayer_gray = -1;
#endif
  const Case cases[] = {
      {"BayerRG8_to_BGR24", PXV_BayerRG8, Out::Bgr24, bayer_bgr},
      {"BayerRG8_to_Mono8", PXV_BayerRG8, Out::Mono8, bayer_gray},
      {"Mono12_to_Mono8", PXV_Mono12, Out::Mono8, -1},
      {"Mono12Packed_to_Mono8", PXV_Mono12Packed, Out::Mono8, -1},
      {"Mono8_to_BGR24", PXV_Mono8, Out::Bgr24, -1},
      {"BayerRG12p_to_BGR24", PXV_BayerRG12p, Out::Bgr24, -1},
      {"Mono10p_to_Mono8", PXV_Mono10p, Out::Mono8, -1},
      {"RGB8_to_Mono8", PXV_RGB8, Out::Mono8, -1},
      {"RGB8_to_BGR24", PXV_RGB8, Out::Bgr24, -1},
      {"BGRa8_to_BGR24", PXV_BGRa8, Out::Bgr24, -1},
      {"YUV422_8_to_BGR24", PXV_YUV422_8, Out::Bgr24, -1},
  };
  const std::pair<const char*, Isa> levels[] = {{"portable", Isa::Portable},
                                                {"ssse3", Isa::Ssse3},
                                                {"avx2", Isa::Avx2},
                                                {"avx512", Isa::Avx512}};
  for (const Case& c : cases) {
    const std::string name = c.name;
    for (const auto& [level_name, isa] : levels) {
      if (!pixvane::IsaSupported(isa)) continue;
      benchmark::RegisterBenchmark((name + "/" + level_name).c_str(), Pixvane, c.code, c.out, isa)
          ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark((name + "/memcpy").c_str(), Memcpy, c.out)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/read_src").c_str(), ReadSource, c.code)
        ->Unit(benchmark::kMillisecond);
#ifdef PIXVANE_BENCH_OPENCV
    if (c.opencv_code >= 0)
      benchmark::RegisterBenchmark((name + "/opencv").c_str(), OpenCv, c.opencv_code, c.out)
          ->Unit(benchmark::kMillisecond);
#endif
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  return pixvane_bench::RunWithRatios(argc, argv);
}
