// The grab engine's bookkeeping and failure paths through the host driver:
// the buffer ring, the asynchronous state, every failure with its code and
// message, the host call traces and setting 64.  An abort reaching a grab
// that waits in another thread is tested on the Aravis cameras.
#include "base/records.h"
#include "grab_fixture.h"

namespace acqtest {
namespace {

using hostlayer::Images;
using Instance = hostlayer::Instance;

constexpr char kLock[] = "HpThreadMutexLock(&currInst->cancel_mutex)";
constexpr char kUnlock[] = "HpThreadMutexUnlock(&currInst->cancel_mutex)";

// Grabs with the standard output captured.
Herror GrabCapturing(Instance& instance, std::string* out, bool async = false) {
  Images images;
  testing::internal::CaptureStdout();
  const Herror err = async ? instance.GrabAsync(50.0, &images) : instance.Grab(&images);
  *out = testing::internal::GetCapturedStdout();
  if (err != H_MSG_OK) {
    EXPECT_TRUE(images.empty()) << "images delivered by a failed grab";
  }
  return err;
}

using Ring = GrabTest;

// Catches a ring that does not advance on a failed grab, skips or repeats
// a buffer, and volatile images that are copies instead of views of it.
TEST_F(Ring, ThreeBuffersInOrderAndAFailedGrabAdvances) {
  hostlayer::OpenParams params;
  params.generic = {std::string("num_buffers=3")};
  auto instance = Open(kMonoKey, "gray", params);
  ASSERT_TRUE(instance);
  ASSERT_EQ(instance->SetParam("volatile", std::string("enable")), H_MSG_OK);
  const InstanceRecord& record = *instance->raw()->inst_data;
  auto grab_buffer = [&]() -> const uint8_t* {
    Images images;
    EXPECT_EQ(instance->Grab(&images), H_MSG_OK);
    if (images.empty()) return nullptr;
    EXPECT_TRUE(images[0].is_view);
    return images[0].pixels;
  };
  EXPECT_EQ(grab_buffer(), record.InstFrameBuffer[0]);
  hacq_test::SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::FrameTimeout);
  std::string out;
  EXPECT_EQ(GrabCapturing(*instance, &out), H_ERR_FGTIMEOUT);  // takes buffer 1
  EXPECT_EQ(grab_buffer(), record.InstFrameBuffer[2]);
  EXPECT_EQ(grab_buffer(), record.InstFrameBuffer[0]);
  EXPECT_EQ(grab_buffer(), record.InstFrameBuffer[1]);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

using hacq_test::Step;
using hacq_test::StepKind;
const Step kGrab{"grab", StepKind::Grab};
const Step kStartAsync{"start async", StepKind::StartAsync, nullptr, {}, 1000.0};
const Step kGrabAsync{"grab async", StepKind::Grab, nullptr, {}, 1000.0};
const Step kSet{"set", StepKind::Set, "grab_timeout", int64_t{900}};
const Step kUnknownSet{"unknown set", StepKind::Set, "no_such_parameter", int64_t{1}};
const Step kBadValueSet{"refused set", StepKind::Set, "volatile", std::string("maybe")};
const Step kAbort{"abort", StepKind::Abort, "do_abort_grab", int64_t{1}};
const Step kNoAutoStart{"no restart", StepKind::Set, "start_async_after_grab_async",
                        std::string("disable")};

struct StateStep {
  const Step& step;
  bool grab_started;
  bool grabbing;  // the camera's stream after the step
};

// Catches wrong transitions of the asynchronous bookkeeping: a set request
// (refused ones included) that does not make the next grab stop the stream,
// a pending grab not discarded or not restarted, a set that stops the
// stream although an asynchronous grab was started, an abort that does not
// re-arm that stop.
TEST_F(GrabTest, AsynchronousStateFollowsEachCall) {
  // clang-format off
  const std::pair<const char*, std::vector<StateStep>> cases[] = {
      {"a set makes the next grab stop the stream",
       {{kSet, 0, 0}, {kGrab, 0, 0}, {kGrab, 0, 1}, {kGrab, 0, 1}, {kUnknownSet, 0, 1},
        {kGrab, 0, 0}, {kGrab, 0, 1}, {kBadValueSet, 0, 1}, {kGrab, 0, 0}}},
      {"an asynchronous start keeps the stream running",
       {{kStartAsync, 1, 1}, {kSet, 1, 1}, {kGrabAsync, 1, 1}, {kGrab, 0, 1}}},
      {"a synchronous grab discards the pending one", {{kStartAsync, 1, 1}, {kGrab, 0, 1}}},
      {"no restart when the instance does not ask for it",
       {{kNoAutoStart, 0, 0}, {kStartAsync, 1, 1}, {kGrabAsync, 0, 1}}},
      {"an abort clears the pending grab and re-arms the stop",
       {{kStartAsync, 1, 1}, {kAbort, 0, 0}, {kSet, 0, 0}, {kGrab, 0, 0}}},
  };
  // clang-format on
  for (const auto& [name, steps] : cases) {
    SCOPED_TRACE(name);
    auto instance = Open(kMonoKey, "gray");
    ASSERT_TRUE(instance);
    ResetGrabFlags(*instance);
    for (size_t i = 0; i < steps.size(); ++i) {
      const Step& step = steps[i].step;
      SCOPED_TRACE(testing::Message() << "step " << i << ", " << step.name);
      EXPECT_EQ(RunStep(step, instance, kMonoKey), &step == &kUnknownSet    ? H_ERR_FGPARAM
                                                   : &step == &kBadValueSet ? H_ERR_FGPARV
                                                                            : H_MSG_OK);
      EXPECT_EQ(instance->raw()->inst_data->grab_started, steps[i].grab_started);
      EXPECT_FALSE(instance->raw()->async_grab);
      EXPECT_EQ(hacq_test::SdkControls().IsGrabbing(kMonoKey), steps[i].grabbing);
    }
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

// Catches failures reported as success, wrong codes, missing or altered
// messages, frames that are not handed back on a failure path, and a
// replugged camera that is not reconnected with a new stream (the old one
// released).
TEST_F(GrabTest, EveryFailureHasItsCodeAndMessage) {
  using sdkabi::FaultPoint;
  enum Before { kNothing, kReplug, kAskStop, kNarrow, kEnlarge };
  const struct {
    const char* name;
    Before before;  // done after the open
    std::vector<FaultPoint> faults;
    bool async;
    Herror code;
    const char* output;
  } cases[] = {
      // clang-format off
      {"replugged camera reconnects", kReplug, {}, false, H_MSG_OK, ""},
      {"reconnect fails", kReplug, {FaultPoint::Connect}, false, H_ERR_FGDV, ""},
      {"stream cannot be made anew", kReplug, {FaultPoint::CreateStream}, false, H_ERR_FGDV,
       "create stream obj  fail.\r\n"},
      {"start grabbing fails", kNothing, {FaultPoint::StartGrabbing}, false, H_ERR_FGDV,
       "StartGrabbing  fail.\n"},
      {"no frame", kNothing, {FaultPoint::FrameTimeout}, false, H_ERR_FGTIMEOUT,
       "getFrame fail\r\n"},
      {"no frame, and the requested stop fails", kAskStop,
       {FaultPoint::FrameTimeout, FaultPoint::StopGrabbing}, false, H_ERR_FGDV,
       "getFrame fail\r\nStopGrabbing  fail.\n"},
      {"incomplete frame", kNothing, {FaultPoint::InvalidFrame}, false, H_ERR_FGTIMEOUT,
       "getFrame incomplete frame\r\n"},
      {"stop after a good grab fails", kAskStop, {FaultPoint::StopGrabbing}, false, H_ERR_FGDV,
       "StopGrabbing  fail.\n"},
      {"asynchronous grab returns the grab's error", kNothing, {FaultPoint::FrameTimeout}, true,
       H_ERR_FGTIMEOUT, "getFrame fail\r\n"},
      {"image part outside a narrowed frame", kNarrow, {}, false, H_ERR_FGTIMEOUT,
       "image part outside the frame.\r\n"},
      {"frame larger than the buffers", kEnlarge, {}, false, H_ERR_FGTIMEOUT,
       "frame larger than the image buffer.\r\n"},
      // clang-format on
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    auto instance = Open(kMonoKey, "gray");
    ASSERT_TRUE(instance);
    ResetGrabFlags(*instance);
    if (tc.before == kReplug) {
      Images images;
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK);  // connected and grabbing
      simsdk::Unplug(kMonoKey);
      simsdk::Replug(kMonoKey);
    } else if (tc.before == kAskStop) {
      ASSERT_EQ(instance->SetParam("grab_timeout", int64_t{900}), H_MSG_OK);
    } else if (tc.before != kNothing) {
      simsdk::UpdateCamera(kMonoKey, [&](simsdk::CameraConfig& camera) {
        const int64_t width = tc.before == kNarrow ? kWidth / 2 : 4096;
        camera.width.value = camera.width.max = width;
        camera.height.value = camera.height.max = tc.before == kNarrow ? kHeight : 4096;
      });
    }
    for (const FaultPoint fault : tc.faults) hacq_test::SdkControls().InjectFault(kMonoKey, fault);
    std::string out;
    const size_t setting64_writes = hostlayer::Setting64Writes().size();
    EXPECT_EQ(GrabCapturing(*instance, &out, tc.async), tc.code);
    EXPECT_EQ(out, tc.output);
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kMonoKey).frames_outstanding, 0u);
    // A frame that is not delivered makes no images: setting 64 untouched.
    if (tc.code == H_ERR_FGTIMEOUT) {
      EXPECT_EQ(hostlayer::Setting64Writes().size(), setting64_writes);
    }
    if (tc.code == H_MSG_OK) {
      EXPECT_EQ(hacq_test::SdkControls().LiveObjects().streams, 1u);
    }
    EXPECT_EQ(instance->raw()->async_grab, tc.async);
    hacq_test::SdkControls().ClearFaults();
    EXPECT_EQ(instance->Close(), H_MSG_OK);
    SetUp();  // fresh cameras for the next case
  }
}

// Catches grab-with-data operations that do anything but refuse, and a
// maximum delay not rounded to the nearest millisecond.
TEST_F(GrabTest, GrabWithDataIsNotSupported) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance->GrabDataAsync(10.5), H_ERR_FGNOTSUP);
  EXPECT_TRUE(instance->raw()->async_grab);
  EXPECT_EQ(instance->raw()->inst_data->async_max_delay, 11);
  EXPECT_EQ(instance->GrabData(), H_ERR_FGNOTSUP);
  EXPECT_FALSE(instance->raw()->async_grab);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

// Catches trace texts that differ from the host template's, and calls made
// outside their traced wrapper.
TEST_F(GrabTest, HostCallsAreTracedWithTheirTexts) {
  const std::string save =
      "HAccessGlVar(proc_id,64,1,&save,(double)0,(char *)((void *)0),(Hkey)((void *)0),0)";
  const std::string clear =
      "HAccessGlVar(proc_id,64,0,((void *)0),(double)0,(char *)((void *)0),(Hkey)((void *)0),0)";
  const std::string restore =
      "HAccessGlVar(proc_id,64,0,((void *)0),(double)save,(char *)((void *)0),(Hkey)((void "
      "*)0),0)";
  const struct {
    const char* name;
    const char* color_space;
    bool volatile_mode;
    bool async;
    std::vector<std::string> texts;
  } cases[] = {
      // clang-format off
      {"copy rgb, asynchronous", "rgb", false, true,
       {"FGGrab(proc_id, fginst, image, num_image)", kLock, kUnlock, save, clear, restore,
        "ExtractChannelsFromRGB24(fginst, currInst->InstFrameBuffer[readBuffer], "
        "image[2].pixel.b, image[1].pixel.b, image[0].pixel.b)"}},
      {"volatile", "gray", true, false,
       {kLock, kUnlock,
        "HNewImagePtr(proc_id, &image[i], (INT)(1<<0), fginst->image_width, "
        "fginst->image_height, (void*)(currInst->InstFrameBuffer[readBuffer] + "
        "i*size*sizeof(HBYTE)), 0)"}},
      // clang-format on
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    auto instance = Open(kMonoKey, tc.color_space);
    ASSERT_TRUE(instance);
    if (tc.volatile_mode) {
      ASSERT_EQ(instance->SetParam("volatile", std::string("enable")), H_MSG_OK);
    }
    Images images;
    ASSERT_EQ(instance->Grab(&images), H_MSG_OK);  // the stop after the set is done
    hostlayer::SetSpy(true);
    ASSERT_EQ(tc.async ? instance->GrabAsync(10.0, &images) : instance->Grab(&images), H_MSG_OK);
    hostlayer::SetSpy(false);
    std::vector<std::string> texts;
    for (const auto& record : hostlayer::SpyLog()) texts.push_back(record.text);
    EXPECT_EQ(texts, tc.texts);
    hostlayer::Reset();
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

// Catches setting 64 left at 0 after a failed image creation, and images
// that are filled although the creation failed.
TEST_F(GrabTest, Setting64IsRestoredAroundCopyModeImages) {
  auto instance = Open(kMonoKey, "rgb");
  ASSERT_TRUE(instance);
  hostlayer::SetSetting64(7);
  Images images;
  ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
  EXPECT_EQ(hostlayer::Setting64Writes(), (std::vector<int64_t>{0, 7}));

  hostlayer::FailCall(hostlayer::HostCall::NewImage, 2, 4712);  // the second of three
  images.clear();
  EXPECT_EQ(instance->Grab(&images), 4712);
  EXPECT_EQ(hostlayer::Setting64(), 7);
  EXPECT_EQ(hostlayer::Setting64Writes(), (std::vector<int64_t>{0, 7, 0, 7}));

  hostlayer::FailCall(hostlayer::HostCall::GlVarRead, 1, 4713);
  const int64_t created = hostlayer::CallCount(hostlayer::HostCall::NewImage);
  EXPECT_EQ(instance->Grab(&images), 4713);
  EXPECT_EQ(hostlayer::CallCount(hostlayer::HostCall::NewImage), created);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

}  // namespace
}  // namespace acqtest
