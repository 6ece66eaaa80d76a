// The cost of a grab through the interface on the Aravis SDK against
// popping the same frames from Aravis directly plus one memcpy of each
// frame (the copy the interface makes into the host image), from one fake
// GigE Vision camera at 1280 x 1024 Mono8, at 100 frames per second and at
// the fake camera's fastest.  Each benchmark times the grabbing thread's
// own CPU (Aravis's receiving thread and the fake camera's sending thread
// are the same for both); the ratios and the frames per second of the
// median of three repetitions are printed at the end.  The fake camera
// sleeps its frame period after sending each frame, so "100 fps" comes out
// a little slower.  The program runs in a network of its own (root, unshare).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hacq_test/fake_gv_camera.h"
#include "hacq_test/private_network.h"
#include "hostlayer/host_driver.h"

namespace {

namespace reg = hacq_test::fake_register;

constexpr uint32_t kWidth = 1280;
constexpr uint32_t kHeight = 1024;
constexpr uint32_t kFastestPeriodUs = 1000;  // the fake camera's limit, 1000 fps

hacq_test::FakeGvCamera* g_camera = nullptr;

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Outcome {
  double cpu_per_frame = 0;
  double fps = 0;
  int64_t incomplete = 0;
};
// Every repetition's outcome, by benchmark and camera period.
std::map<std::string, std::vector<Outcome>>& Outcomes() {
  static std::map<std::string, std::vector<Outcome>> outcomes;
  return outcomes;
}

// The repetition with the median CPU per frame (the machine is shared: the
// median is the steadiest of the runs).
Outcome Median(std::vector<Outcome> runs) {
  if (runs.empty()) return {};
  std::sort(runs.begin(), runs.end(),
            [](const Outcome& a, const Outcome& b) { return a.cpu_per_frame < b.cpu_per_frame; });
  return runs[runs.size() / 2];
}

void Record(benchmark::State& state, const std::string& name, double cpu, double seconds,
            int64_t frames, int64_t incomplete) {
  Outcome o;
  o.incomplete = incomplete;
  o.cpu_per_frame = frames > 0 ? cpu / static_cast<double>(frames) : 0;
  o.fps = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
  Outcomes()[name].push_back(o);
  state.counters["fps"] = o.fps;
  state.counters["incomplete"] = static_cast<double>(incomplete);
  state.counters["cpu_us_per_frame"] = o.cpu_per_frame * 1e6;
}

void PrepareCamera(uint32_t period_us) {
  g_camera->Reset();
  g_camera->SetRegister(reg::kWidth, kWidth);
  g_camera->SetRegister(reg::kHeight, kHeight);
  g_camera->SetRegister(reg::kFramePeriod, period_us);
}

// Aravis alone: pop each frame, copy it once, queue the buffer again.  The
// copies go by turns into as many buffers as the interface's ring has by
// default, so both write the same memory footprint.
void Direct(benchmark::State& state) {
  PrepareCamera(static_cast<uint32_t>(state.range(0)));
  GError* error = nullptr;
  ArvDevice* device = arv_open_device(g_camera->key().c_str(), &error);
  if (!device) {
    state.SkipWithError(error ? error->message : "no device");
    g_clear_error(&error);
    return;
  }
  // The packet size the SDK negotiates too.
  arv_gv_device_auto_packet_size(ARV_GV_DEVICE(device), &error);
  g_clear_error(&error);
  ArvStream* stream = arv_device_create_stream(device, nullptr, nullptr, &error);
  const size_t payload = size_t{kWidth} * kHeight;
  for (int i = 0; i < 8; ++i) arv_stream_push_buffer(stream, arv_buffer_new_allocate(payload));
  constexpr size_t kRingBuffers = 2;
  std::vector<std::vector<uint8_t>> ring(kRingBuffers, std::vector<uint8_t>(payload));
  arv_device_execute_command(device, "AcquisitionStart", &error);
  int64_t frames = 0;
  int64_t incomplete = 0;
  const double cpu = ThreadCpuSeconds();
  const auto begin = std::chrono::steady_clock::now();
  for (auto _ : state) {
    ArvBuffer* buffer = arv_stream_timeout_pop_buffer(stream, 1000000);
    if (!buffer) continue;
    if (arv_buffer_get_status(buffer) == ARV_BUFFER_STATUS_SUCCESS) {
      size_t size = 0;
      const void* data = arv_buffer_get_image_data(buffer, &size);
      std::vector<uint8_t>& image = ring[static_cast<size_t>(frames) % kRingBuffers];
      std::memcpy(image.data(), data, std::min(size, image.size()));
      benchmark::DoNotOptimize(image.data());
      ++frames;
    } else {
      ++incomplete;
    }
    arv_stream_push_buffer(stream, buffer);
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - begin;
  Record(state, "direct/" + std::to_string(state.range(0)), ThreadCpuSeconds() - cpu,
         seconds.count(), frames, incomplete);
  arv_device_execute_command(device, "AcquisitionStop", &error);
  g_clear_error(&error);
  g_object_unref(stream);
  g_object_unref(device);
}

// The interface: one synchronous gray grab per frame, copied into a new
// host image, or in volatile mode (range 1) into the interface's ring,
// which the host image then wraps: the same one copy as the direct path.
void Interface(benchmark::State& state) {
  PrepareCamera(static_cast<uint32_t>(state.range(0)));
  const bool volatile_mode = state.range(1) != 0;
  hostlayer::OpenParams params;
  params.device = g_camera->key();
  params.color_space = std::string("gray");
  std::unique_ptr<hostlayer::Instance> instance;
  if (hostlayer::Driver::Get().Open(params, &instance) != H_MSG_OK) {
    state.SkipWithError("the interface did not open the camera");
    return;
  }
  if (volatile_mode) instance->SetParam("volatile", std::string("enable"));
  hostlayer::Images images;
  instance->Grab(&images);  // starts the stream
  int64_t frames = 0;
  int64_t incomplete = 0;
  const double cpu = ThreadCpuSeconds();
  const auto begin = std::chrono::steady_clock::now();
  for (auto _ : state) {
    if (instance->Grab(&images) == H_MSG_OK) {
      ++frames;
    } else {
      ++incomplete;
    }
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - begin;
  Record(state,
         std::string(volatile_mode ? "volatile/" : "interface/") + std::to_string(state.range(0)),
         ThreadCpuSeconds() - cpu, seconds.count(), frames, incomplete);
  images.clear();
  instance->Close();
}

BENCHMARK(Direct)
    ->Arg(10000)
    ->Arg(kFastestPeriodUs)
    ->Iterations(200)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Interface)
    ->ArgsProduct({{10000, kFastestPeriodUs}, {0, 1}})
    ->Iterations(200)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

void PrintRatios() {
  for (const char* period : {"10000", "1000"}) {
    const Outcome direct = Median(Outcomes()[std::string("direct/") + period]);
    if (direct.cpu_per_frame <= 0) continue;
    std::printf("period %s us: direct %.1f fps (%lld incomplete), CPU per frame %.1f us\n", period,
                direct.fps, static_cast<long long>(direct.incomplete), direct.cpu_per_frame * 1e6);
    for (const char* mode : {"interface/", "volatile/"}) {
      const Outcome via = Median(Outcomes()[mode + std::string(period)]);
      std::printf(
          "  %-10s %.1f fps (%lld incomplete), CPU per frame %.1f us: ratio %.2f "
          "(target <= 1.2)\n",
          mode, via.fps, static_cast<long long>(via.incomplete), via.cpu_per_frame * 1e6,
          via.cpu_per_frame / direct.cpu_per_frame);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string network = hacq_test::EnterPrivateNetwork();
  if (!network.empty()) {
    std::fprintf(stderr, "needs a network namespace of its own: %s\n", network.c_str());
    return 1;
  }
  auto camera = std::make_unique<hacq_test::FakeGvCamera>("127.0.0.1", "BENCH");
  g_camera = camera.get();
  setenv("HACQ_CAMERA_SDK", "aravis", 1);
  if (!hostlayer::Driver::Get().ok()) {
    std::fprintf(stderr, "the interface did not register on the Aravis SDK\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  PrintRatios();
  return 0;
}
