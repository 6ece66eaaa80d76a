// The reliability tests on the simulator's built-in cameras, made small
// and free-running without a rate limit: the fault sweep (sweep.h) over
// every host call and SDK operation of a session on the mono camera, and
// the thread stress test.  The stress test keeps instances on both
// cameras open, and opens and closes others beside them, each grabbed by
// its own thread, synchronously and asynchronously, while other threads
// set and read parameters and abort grabs.  Every delivered image must be
// exactly the frame the simulator made, and nothing may stay live at the
// end.  It runs ~3 s; HACQ_STRESS_SECONDS sets another duration.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hacq_test/frame_prediction.h"
#include "hacq_test/interface_test.h"
#include "sweep.h"

namespace reliability {
namespace {

using hacq_test::kColorKey;
using hacq_test::kMonoKey;
using hostlayer::Images;
using hostlayer::Instance;

class Reliability : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    // The colour camera delivers RGB8, whose first row carries the frame
    // number unblurred (a Bayer frame's is interpolated).
    std::vector<simsdk::CameraConfig> cameras = hacq_test::FastCameras(false);
    for (simsdk::CameraConfig& camera : cameras)
      if (camera.key == kColorKey) camera.pixel_format.value = "RGB8";
    UseCameras(cameras);
  }
};

using FaultSweep = Reliability;

TEST_F(FaultSweep, EveryCallOfASessionFailsInTurn) {
  // The camera as configured, so every run starts from the same feature
  // values whatever the previous run left written.
  const simsdk::CameraConfig mono = *simsdk::CameraState(kMonoKey);
  auto restore = [&] {
    simsdk::UpdateCamera(kMonoKey, [&](simsdk::CameraConfig& c) { c = mono; });
  };
  const SweepTarget target{&hacq_test::SdkControls(), kMonoKey, restore};
  RunFaultSweep(target, [&](const std::string& when) { ExpectNoLeaks(when); });
}

// Whether the whole images are the prediction for the frame of `key`'s
// current layout whose number they show (bytes 0..7 of it in the first
// eight pixels of the first plane).
bool ShowsItsFrame(const Images& images, const std::string& key, bool rgb) {
  if (images.empty() || images[0].width < 8 || images[0].height < 1) return false;
  uint64_t frame = 0;
  for (int byte = 7; byte >= 0; --byte) frame = (frame << 8) | images[0].pixels[byte];
  return hacq_test::Predict(simsdk::LayoutOf(*simsdk::CameraState(key)), frame, rgb, {}) ==
         hacq_test::PlanesOf(images);
}

struct Target {
  const char* device;
  const char* key;
  bool rgb;
};
constexpr Target kKept[] = {
    {"MONO-2448", kMonoKey, false}, {"MonoCam", kMonoKey, false}, {"COLOR-1920", kColorKey, true}};
// Opened and closed in a loop, beside the kept instances of their camera.
constexpr Target kCycled[] = {{"0", kMonoKey, false}, {"ColorCam1", kColorKey, true}};

// What the threads did; unexpected answers are kept for the report.
class Tally {
 public:
  std::atomic<int64_t> grabs{0}, verified{0}, no_frame{0}, opens{0};

  // Answers a grab may give while other instances stop the shared stream:
  // no frame (H_ERR_FGTIMEOUT), or a start that lost a race with another
  // start (H_ERR_FGDV).
  void Grab(Herror status, const Images& images, const Target& target) {
    ++grabs;
    if (status == H_ERR_FGTIMEOUT || status == H_ERR_FGDV) {
      ++no_frame;
      return;
    }
    if (status != H_MSG_OK) return Problem(std::string("grab on ") + target.device, status);
    if (!ShowsItsFrame(images, target.key, target.rgb))
      return Problem(std::string("image not as predicted on ") + target.device, status);
    ++verified;
  }
  void Expect(Herror status, const std::string& what) {
    if (status != H_MSG_OK) Problem(what, status);
  }
  std::vector<std::string> problems;  // read once the threads are joined

 private:
  void Problem(const std::string& what, Herror status) {
    std::lock_guard lock(lock_);
    if (problems.size() < 20) problems.push_back(what + ": " + std::to_string(status));
  }
  std::mutex lock_;
};

hostlayer::OpenParams ParamsFor(const Target& target) {
  hostlayer::OpenParams params = hacq_test::DefaultParams(target.device);
  params.color_space = std::string(target.rgb ? "rgb" : "gray");
  params.generic = {std::string("num_buffers=3")};
  return params;
}

// One thread grabs each instance, so its ring buffers and volatile views
// are not refilled before the image is checked.
void GrabLoop(Instance& instance, const Target& target, Tally& tally,
              const std::atomic<bool>& stop) {
  for (int round = 0; !stop; ++round) {
    Images images;
    Herror status;
    if (round % 3 == 0) {
      // Like a grab's own start, it may lose the shared stream's start to
      // another instance of the camera (H_ERR_FGDV).
      const Herror start = instance.GrabStartAsync(100.0);
      if (start != H_ERR_FGDV) tally.Expect(start, std::string("start async on ") + target.device);
      status = instance.GrabAsync(100.0, &images);
    } else if (round % 3 == 1) {
      status = instance.GrabAsync(100.0, &images);
    } else {
      status = instance.Grab(&images);
    }
    tally.Grab(status, images, target);
    if (!target.rgb && round % 16 == 15) {
      // Volatile images are views of this instance's ring.
      const bool enable = (round / 16) % 2 == 0;
      tally.Expect(instance.SetParam("volatile", std::string(enable ? "enable" : "disable")),
                   "volatile");
    }
  }
}

// Writes and reads features without changing the image, and aborts: the
// exposure and contrast keep the cameras' values (others would change the
// frames under the grabs), the rate changes while it is not enabled.
void ParameterLoop(std::vector<std::unique_ptr<Instance>>& instances, Tally& tally,
                   const std::atomic<bool>& stop) {
  for (int round = 0; !stop; ++round) {
    Instance& instance = *instances[round % instances.size()];
    tally.Expect(instance.SetParam("ExposureTime", 10000.0), "set ExposureTime");
    tally.Expect(instance.SetParam("AcquisitionFrameRate", 1.0 + round % 50),
                 "set AcquisitionFrameRate");
    tally.Expect(instance.SetParam("Contrast", int64_t{50}), "set Contrast");
    tally.Expect(instance.SetParam("DeviceUserID", "stress " + std::to_string(round)),
                 "set DeviceUserID");
    std::vector<hostlayer::Value> values;
    for (const char* name : {"ExposureTime", "DeviceUserID", "Contrast_range", "TriggerMode"})
      tally.Expect(instance.GetParam(name, &values), std::string("get ") + name);
    if (round % 4 == 0) tally.Expect(instance.SetParam("do_abort_grab", int64_t{1}), "abort");
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void OpenCloseLoop(const Target& target, Tally& tally, const std::atomic<bool>& stop) {
  while (!stop) {
    std::unique_ptr<Instance> instance;
    const Herror status = hostlayer::Driver::Get().Open(ParamsFor(target), &instance);
    tally.Expect(status, std::string("open ") + target.device);
    if (status != H_MSG_OK) continue;
    ++tally.opens;
    Images images;
    tally.Grab(instance->Grab(&images), images, target);
    images.clear();
    tally.Expect(instance->Close(), std::string("close ") + target.device);
  }
}

using Stress = Reliability;

// Catches races between grabs, aborts, parameter requests, opens and
// closes: a crash, an image torn or mixed with another frame, a wrong
// answer, a frame kept from the SDK or a leak.
TEST_F(Stress, ConcurrentGrabsAbortsParametersOpensAndCloses) {
  Tally tally;
  std::vector<std::unique_ptr<Instance>> instances;
  for (const Target& target : kKept) {
    instances.push_back(OpenOk(ParamsFor(target)));
    ASSERT_TRUE(instances.back()) << target.device;
  }
  std::atomic<bool> stop{false};
  std::vector<std::thread> threads;
  for (size_t i = 0; i < instances.size(); ++i)
    threads.emplace_back(GrabLoop, std::ref(*instances[i]), std::cref(kKept[i]), std::ref(tally),
                         std::cref(stop));
  threads.emplace_back(ParameterLoop, std::ref(instances), std::ref(tally), std::cref(stop));
  for (const Target& target : kCycled)
    threads.emplace_back(OpenCloseLoop, std::cref(target), std::ref(tally), std::cref(stop));

  const char* const seconds_text = std::getenv("HACQ_STRESS_SECONDS");
  const double asked = seconds_text != nullptr ? std::atof(seconds_text) : 0.0;
  const double seconds = asked > 0 ? asked : 3.0;
  testing::internal::CaptureStdout();  // "getFrame fail" after every abort
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop = true;
  for (std::thread& thread : threads) thread.join();
  testing::internal::GetCapturedStdout();

  for (auto& instance : instances) EXPECT_EQ(instance->Close(), H_MSG_OK);
  instances.clear();
  for (const std::string& problem : tally.problems) ADD_FAILURE() << problem;
  for (const char* key : {kMonoKey, kColorKey})
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(key).frames_outstanding, 0u) << key;
  ExpectNoLeaks("after the stress");
  EXPECT_GT(tally.verified.load(), 0);
  std::printf("stress: %.1f s, grabs %lld (images verified %lld, no frame %lld), opens %lld\n",
              seconds, static_cast<long long>(tally.grabs), static_cast<long long>(tally.verified),
              static_cast<long long>(tally.no_frame), static_cast<long long>(tally.opens));
}

}  // namespace
}  // namespace reliability
