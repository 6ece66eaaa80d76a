// The thread stress test: instances on both cameras (kept open, and opened
// and closed over and over beside them), each grabbed by its own thread,
// synchronously and asynchronously, while other threads set and read
// parameters and abort grabs.  Every delivered image must be exactly the
// frame the simulator made, and nothing may stay live at the end.
// Runs ~3 s; HACQ_STRESS_SECONDS sets another duration.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hacq_test/interface_test.h"
#include "small_cameras.h"

namespace reliability {
namespace {

using Clock = std::chrono::steady_clock;
using hostlayer::Images;
using hostlayer::Instance;

double StressSeconds() {
  const char* text = std::getenv("HACQ_STRESS_SECONDS");
  const double seconds = text != nullptr ? std::atof(text) : 0.0;
  return seconds > 0 ? seconds : 3.0;
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
  std::atomic<int64_t> grabs{0}, verified{0}, no_frame{0}, aborts{0}, sets{0}, reads{0}, opens{0};

  // Answers a grab may give while other instances stop the shared stream:
  // no frame (5306), or a start that lost a race with another start (5302).
  void Grab(Herror status, const Images& images, const Target& target) {
    ++grabs;
    if (status == H_ERR_FGTIMEOUT || status == H_ERR_FGDV) {
      ++no_frame;
      return;
    }
    if (status != H_MSG_OK) return Problem(std::string("grab on ") + target.device, status);
    if (VerifiedFrame(images, target.key, target.rgb)) {
      ++verified;
    } else {
      Problem(std::string("image not as predicted on ") + target.device, status);
    }
  }
  void Expect(Herror status, const std::string& what) {
    if (status != H_MSG_OK) Problem(what, status);
  }
  std::vector<std::string> problems() {
    std::lock_guard lock(lock_);
    return problems_;
  }

 private:
  void Problem(const std::string& what, Herror status) {
    std::lock_guard lock(lock_);
    if (problems_.size() < 20) problems_.push_back(what + ": " + std::to_string(status));
  }
  std::mutex lock_;
  std::vector<std::string> problems_;
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
      // another instance of the camera (5302).
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
    tally.sets += 4;
    std::vector<hostlayer::Value> values;
    for (const char* name : {"ExposureTime", "DeviceUserID", "Contrast_range", "TriggerMode"}) {
      tally.Expect(instance.GetParam(name, &values), std::string("get ") + name);
      ++tally.reads;
    }
    if (round % 4 == 0) {
      tally.Expect(instance.SetParam("do_abort_grab", int64_t{1}), "do_abort_grab");
      ++tally.aborts;
    }
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

class Stress : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    UseCameras(SmallCameras());
  }
};

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

  const double seconds = StressSeconds();
  testing::internal::CaptureStdout();  // "getFrame fail" after every abort
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  stop = true;
  for (std::thread& thread : threads) thread.join();
  testing::internal::GetCapturedStdout();

  for (auto& instance : instances) EXPECT_EQ(instance->Close(), H_MSG_OK);
  instances.clear();
  for (const std::string& problem : tally.problems()) ADD_FAILURE() << problem;
  for (const char* key : {kMonoKey, kColorKey})
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(key).frames_outstanding, 0u) << key;
  ExpectNoLeaks("after the stress");
  EXPECT_GT(tally.verified.load(), 0);
  std::printf(
      "stress: %.1f s, grabs %lld (images verified %lld, no frame %lld), aborts %lld, "
      "sets %lld, reads %lld, opens and closes %lld\n",
      seconds, static_cast<long long>(tally.grabs), static_cast<long long>(tally.verified),
      static_cast<long long>(tally.no_frame), static_cast<long long>(tally.aborts),
      static_cast<long long>(tally.sets), static_cast<long long>(tally.reads),
      static_cast<long long>(tally.opens));
}

}  // namespace
}  // namespace reliability
