// How parameter requests steer the grab engine: the dropped frame after
// PixelFormat, the abort's lock, and requests racing a grab.
#include <atomic>
#include <chrono>
#include <future>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

using std::chrono::seconds;

class GrabInterplayTest : public ParameterTest {};

uint64_t Delivered() {
  return hacq_test::SdkControls().CameraCounters(kKey).frames_delivered;
}

// Catches a last_set_param that is not recorded as the caller spelled it,
// is changed by a refused request, or survives another successful set: each
// of these makes grabs drop frames they should keep, or keep a frame of the
// old format.  Every set makes the grab after it stop the stream, so each
// PixelFormat set below finds the stream stopped.
TEST_F(GrabInterplayTest, PixelFormatMakesEachGrabDropOneFrameUntilAnotherSet) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  ResetGrabFlags(*inst);
  struct Step {
    const char* name;
    Value value;
    Herror status;
    uint64_t frames_per_grab;
  };
  const Step steps[] = {
      {"PixelFormat", std::string("Mono8"), H_MSG_OK, 2},
      {"volatile", std::string("bogus"), H_ERR_FGPARV, 2},  // PixelFormat stays the last
      {"grab_timeout", int64_t{10}, H_MSG_OK, 1},
      {"pixelformat", std::string("Mono8"), H_MSG_OK, 1},  // the grab compares exactly
      {"PixelFormat", std::string("Mono8"), H_MSG_OK, 2},
  };
  hostlayer::Images images;
  for (const Step& step : steps) {
    ASSERT_EQ(Set(*inst, step.name, step.value), step.status) << step.name;
    const uint64_t before = Delivered();
    ASSERT_EQ(inst->Grab(&images), H_MSG_OK) << step.name;
    EXPECT_EQ(Delivered() - before, step.frames_per_grab) << step.name;
  }
  // Changing to a colour format leaves the instance's images gray.
  ASSERT_EQ(Set(*inst, "PixelFormat", std::string("BayerRG8")), H_MSG_OK);
  ASSERT_EQ(inst->Grab(&images), H_MSG_OK);
  EXPECT_EQ(images.size(), 1u);
}

// Catches an abort whose lock failure is swallowed, or that changes the
// pending grab without holding the lock.
TEST_F(GrabInterplayTest, AbortReportsALockFailureAndChangesNothing) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  ASSERT_EQ(Set(*inst, "do_TriggerSoftware", int64_t{1}), H_MSG_OK);
  hostlayer::FailCall(hostlayer::HostCall::MutexLock, 1, 9001);
  EXPECT_EQ(Set(*inst, "do_abort_grab", int64_t{1}), 9001);
  EXPECT_TRUE(Record(*inst).grab_started);
  auto grab = std::async(std::launch::async, [&] {
    hostlayer::Images images;
    return inst->Grab(&images);
  });
  ASSERT_EQ(grab.wait_for(seconds(10)), std::future_status::ready) << "mutex left locked";
  EXPECT_EQ(grab.get(), H_MSG_OK);
}

// Catches data races between a grab and parameter requests on the same
// instance (run under the thread sanitizer), and requests that deadlock or
// crash while a grab converts into the buffers they move.
TEST_F(GrabInterplayTest, GrabsRaceFreeWithSetsReadsAndAborts) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  constexpr int kGrabs = 40;
  std::atomic<bool> grabbing{true};
  auto grabber = std::async(std::launch::async, [&] {
    hostlayer::Images images;
    int delivered = 0;
    for (int i = 0; i < kGrabs; ++i) {
      const Herror status = (i % 3 == 0) ? inst->GrabAsync(50.0, &images) : inst->Grab(&images);
      if (status == H_MSG_OK) ++delivered;
    }
    grabbing = false;
    return delivered;
  });
  int round = 0;
  while (grabbing && round < 2000) {
    Set(*inst, "volatile", std::string(round % 2 ? "enable" : "disable"));
    Set(*inst, "start_async_after_grab_async", std::string(round % 2 ? "disable" : "enable"));
    Set(*inst, "ExposureTime", 500.0 + round);
    Set(*inst, "do_TriggerSoftware", int64_t{1});
    Set(*inst, "Width", int64_t{320});  // refused while grabbing, else applied
    Set(*inst, "horizontal_resolution", int64_t{320});
    Set(*inst, "PixelFormat", std::string("Mono8"));  // last_set_param, read by every grab
    Get(*inst, "volatile");
    Get(*inst, "Width");
    Get(*inst, "ExposureTime_range");
    if (round % 5 == 0) Set(*inst, "do_abort_grab", int64_t{1});
    ++round;
  }
  ASSERT_EQ(grabber.wait_for(seconds(60)), std::future_status::ready) << "grabs hang";
  grabber.get();
  Set(*inst, "do_abort_grab", int64_t{1});
  Set(*inst, "volatile", std::string("disable"));
}

}  // namespace
}  // namespace parameter_test
