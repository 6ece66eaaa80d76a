// The grab engine's bookkeeping and failure paths through the host driver:
// the buffer ring, the asynchronous state, every failure with its code and
// message, the host call traces and setting 64.
#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "base/records.h"
#include "grab_fixture.h"

namespace acqtest {
namespace {

using hostlayer::Images;
using Instance = hostlayer::Instance;

constexpr char kLock[] = "HpThreadMutexLock(&currInst->cancel_mutex)";
constexpr char kUnlock[] = "HpThreadMutexUnlock(&currInst->cancel_mutex)";

std::vector<std::string> SpyTexts() {
  std::vector<std::string> texts;
  for (const auto& record : hostlayer::SpyLog()) texts.push_back(record.text);
  return texts;
}

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
  const InstanceRecord& record = Record(*instance);
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

enum Step { Grab, StartAsync, GrabAsync, Set, UnknownSet, BadValueSet, Abort, NoAutoStart };

Herror Do(Instance& instance, Step step) {
  Images images;
  switch (step) {
    case Grab:
      return instance.Grab(&images);
    case StartAsync:
      return instance.GrabStartAsync(1000.0);
    case GrabAsync:
      return instance.GrabAsync(1000.0, &images);
    case Set:
      return instance.SetParam("grab_timeout", int64_t{900});
    case UnknownSet:
      return instance.SetParam("no_such_parameter", int64_t{1});
    case BadValueSet:
      return instance.SetParam("volatile", std::string("maybe"));
    case Abort:
      return instance.SetParam("do_abort_grab", int64_t{1});
    case NoAutoStart:
      return instance.SetParam("start_async_after_grab_async", std::string("disable"));
  }
  return H_MSG_OK;
}

struct StateStep {
  Step step;
  bool grab_started;
  bool grabbing;  // the camera's stream after the step
};

// Catches wrong transitions of the asynchronous bookkeeping: a set request
// (refused ones included) that does not make the next grab stop the stream,
// a pending grab not discarded or not restarted, a set that stops the
// stream although an asynchronous grab was started, an abort that does not
// re-arm that stop.
TEST_F(GrabTest, AsynchronousStateFollowsEachCall) {
  const std::pair<const char*, std::vector<StateStep>> cases[] = {
      {"a set makes the next grab stop the stream",
       {{Set, 0, 0},
        {Grab, 0, 0},
        {Grab, 0, 1},
        {Grab, 0, 1},
        {UnknownSet, 0, 1},
        {Grab, 0, 0},
        {Grab, 0, 1},
        {BadValueSet, 0, 1},
        {Grab, 0, 0}}},
      {"an asynchronous start keeps the stream running",
       {{StartAsync, 1, 1}, {Set, 1, 1}, {GrabAsync, 1, 1}, {Grab, 0, 1}}},
      {"a synchronous grab discards the pending one", {{StartAsync, 1, 1}, {Grab, 0, 1}}},
      {"no restart when the instance does not ask for it",
       {{NoAutoStart, 0, 0}, {StartAsync, 1, 1}, {GrabAsync, 0, 1}}},
      {"an abort clears the pending grab and re-arms the stop",
       {{StartAsync, 1, 1}, {Abort, 0, 0}, {Set, 0, 0}, {Grab, 0, 0}}},
  };
  for (const auto& [name, steps] : cases) {
    SCOPED_TRACE(name);
    auto instance = Open(kMonoKey, "gray");
    ASSERT_TRUE(instance);
    ClearGrabFlags(*instance);
    for (size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "step " << i);
      const Step step = steps[i].step;
      EXPECT_EQ(Do(*instance, step), step == UnknownSet    ? H_ERR_FGPARAM
                                     : step == BadValueSet ? H_ERR_FGPARV
                                                           : H_MSG_OK);
      EXPECT_EQ(Record(*instance).grab_started, steps[i].grab_started);
      EXPECT_FALSE(instance->raw()->async_grab);
      EXPECT_EQ(hacq_test::SdkControls().IsGrabbing(kMonoKey), steps[i].grabbing);
    }
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

struct FailureCase {
  const char* name;
  std::function<void(Instance&)> arrange;
  bool async;
  Herror code;
  const char* output;
  std::function<void(Instance&)> restore = [](Instance&) {};
};

void Inject(sdkabi::FaultPoint op) {
  hacq_test::SdkControls().InjectFault(kMonoKey, op);
}

void Replugged(Instance& instance) {
  Images images;
  ASSERT_EQ(instance.Grab(&images), H_MSG_OK);  // connected and grabbing
  simsdk::Unplug(kMonoKey);
  simsdk::Replug(kMonoKey);
}

void SetWidth(int64_t width, int64_t height) {
  simsdk::UpdateCamera(kMonoKey, [&](simsdk::CameraConfig& camera) {
    camera.width.value = camera.width.max = width;
    camera.height.value = camera.height.max = height;
  });
}

// Catches failures reported as success, wrong codes, missing or altered
// messages, and frames that are not handed back on a failure path.
TEST_F(GrabTest, EveryFailureHasItsCodeAndMessage) {
  const std::vector<FailureCase> cases = {
      {"device matches no camera",
       [](Instance& i) { std::snprintf(i.raw()->device, FG_STRING_LEN, "no-such-camera"); }, false,
       H_ERR_FGDV, "",
       [](Instance& i) { std::snprintf(i.raw()->device, FG_STRING_LEN, "%s", kMonoKey); }},
      {"reconnect fails",
       [](Instance& i) {
         Replugged(i);
         Inject(sdkabi::FaultPoint::Connect);
       },
       false, H_ERR_FGDV, ""},
      {"stream cannot be made anew",
       [](Instance& i) {
         Replugged(i);
         Inject(sdkabi::FaultPoint::CreateStream);
       },
       false, H_ERR_FGDV, "create stream obj  fail.\r\n"},
      {"start grabbing fails", [](Instance&) { Inject(sdkabi::FaultPoint::StartGrabbing); }, false,
       H_ERR_FGDV, "StartGrabbing  fail.\n"},
      {"no frame", [](Instance&) { Inject(sdkabi::FaultPoint::FrameTimeout); }, false,
       H_ERR_FGTIMEOUT, "getFrame fail\r\n"},
      {"no frame, and the requested stop fails",
       [](Instance& i) {
         ASSERT_EQ(i.SetParam("grab_timeout", int64_t{900}), H_MSG_OK);
         Inject(sdkabi::FaultPoint::FrameTimeout);
         Inject(sdkabi::FaultPoint::StopGrabbing);
       },
       false, H_ERR_FGDV, "getFrame fail\r\nStopGrabbing  fail.\n"},
      {"incomplete frame", [](Instance&) { Inject(sdkabi::FaultPoint::InvalidFrame); }, false,
       H_ERR_FGTIMEOUT, "getFrame incomplete frame\r\n"},
      {"stop after a good grab fails",
       [](Instance& i) {
         ASSERT_EQ(i.SetParam("grab_timeout", int64_t{900}), H_MSG_OK);
         Inject(sdkabi::FaultPoint::StopGrabbing);
       },
       false, H_ERR_FGDV, "StopGrabbing  fail.\n"},
      {"asynchronous grab returns the grab's error",
       [](Instance&) { Inject(sdkabi::FaultPoint::FrameTimeout); }, true, H_ERR_FGTIMEOUT,
       "getFrame fail\r\n"},
      {"image part outside a narrowed frame", [](Instance&) { SetWidth(32, 48); }, false,
       H_ERR_FGTIMEOUT, "image part outside the frame.\r\n"},
      {"frame larger than the buffers", [](Instance&) { SetWidth(4096, 4096); }, false,
       H_ERR_FGTIMEOUT, "frame larger than the image buffer.\r\n"},
  };
  for (const FailureCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    auto instance = Open(kMonoKey, "gray");
    ASSERT_TRUE(instance);
    ClearGrabFlags(*instance);
    tc.arrange(*instance);
    std::string out;
    const size_t setting64_writes = hostlayer::Setting64Writes().size();
    EXPECT_EQ(GrabCapturing(*instance, &out, tc.async), tc.code);
    EXPECT_EQ(out, tc.output);
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kMonoKey).frames_outstanding, 0u);
    // A frame that is not delivered makes no images: setting 64 untouched.
    if (tc.code == H_ERR_FGTIMEOUT) {
      EXPECT_EQ(hostlayer::Setting64Writes().size(), setting64_writes);
    }
    if (tc.async) {
      EXPECT_TRUE(instance->raw()->async_grab);
    }
    tc.restore(*instance);
    hacq_test::SdkControls().ClearFaults();
    EXPECT_EQ(instance->Close(), H_MSG_OK);
    SetUp();  // fresh cameras for the next case
  }
}

// Catches a grab that keeps delivering after the camera was replugged: the
// stream is made anew and the old one released.
TEST_F(GrabTest, GrabReconnectsAReplugggedCamera) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  Replugged(*instance);
  Images images;
  EXPECT_EQ(instance->Grab(&images), H_MSG_OK);
  EXPECT_TRUE(hacq_test::SdkControls().IsConnected(kMonoKey));
  EXPECT_EQ(hacq_test::SdkControls().LiveObjects().streams, 1u);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

// Catches grab-with-data operations that do anything but refuse.
TEST_F(GrabTest, GrabWithDataIsNotSupported) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  EXPECT_EQ(instance->GrabData(), H_ERR_FGNOTSUP);
  EXPECT_FALSE(instance->raw()->async_grab);
  EXPECT_EQ(instance->GrabDataAsync(10.5), H_ERR_FGNOTSUP);
  EXPECT_TRUE(instance->raw()->async_grab);
  EXPECT_EQ(Record(*instance).async_max_delay, 11);  // 10.5 + 0.5, truncated
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

// Catches a failing mutex lock that is not converted or that still grabs.
TEST_F(GrabTest, MutexFailureIsConvertedAndStopsTheGrab) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  hostlayer::FailCall(hostlayer::HostCall::MutexLock, 1, 4711);
  Images images;
  EXPECT_EQ(instance->Grab(&images), 4711);
  const auto errors = hostlayer::ProcessErrLog();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text, kLock);
  EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kMonoKey).frames_delivered, 0u);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

struct TraceCase {
  const char* name;
  const char* color_space;
  bool volatile_mode;
  bool async;
  std::vector<std::string> texts;
};

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
  const TraceCase cases[] = {
      {"copy gray", "gray", false, false, {kLock, kUnlock, save, clear, restore}},
      {"copy rgb, asynchronous",
       "rgb",
       false,
       true,
       {"FGGrab(proc_id, fginst, image, num_image)", kLock, kUnlock, save, clear, restore,
        "ExtractChannelsFromRGB24(fginst, currInst->InstFrameBuffer[readBuffer], "
        "image[2].pixel.b, image[1].pixel.b, image[0].pixel.b)"}},
      {"volatile",
       "gray",
       true,
       false,
       {kLock, kUnlock,
        "HNewImagePtr(proc_id, &image[i], (INT)(1<<0), fginst->image_width, "
        "fginst->image_height, (void*)(currInst->InstFrameBuffer[readBuffer] + "
        "i*size*sizeof(HBYTE)), 0)"}},
  };
  for (const TraceCase& tc : cases) {
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
    EXPECT_EQ(SpyTexts(), tc.texts);
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

// Catches a cache answer that changes the planes instead of only the loop
// order of the split.
TEST_F(GrabTest, PlaneSplitIsTheSameInBothLoopOrders) {
  auto instance = Open(kMonoKey, "rgb");
  ASSERT_TRUE(instance);
  simsdk::UpdateCamera(kMonoKey, [](simsdk::CameraConfig& c) { c.pixel_format.value = "Mono10"; });
  const simsdk::FrameLayout layout = CurrentLayout(kMonoKey);
  for (int64_t cache : {4, 8, 9, 64}) {
    hostlayer::SetCpuCache(cache);
    Images images;
    ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
    EXPECT_TRUE(MatchFrame(images, layout, true, Part{}, 0).has_value()) << "cache " << cache;
  }
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

// Catches an abort that cannot reach a waiting grab (the mutex held across
// the wait), a grab that survives its stream being stopped, and an abort
// that leaves the grab pending.
TEST_F(GrabTest, AbortFromAnotherThreadEndsAWaitingGrab) {
  simsdk::UpdateCamera(kMonoKey, [](simsdk::CameraConfig& c) {
    c.trigger_mode.value = "On";
    c.trigger_source.value = "Software";
  });
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  for (int round = 0; round < 3; ++round) {  // an abort leaves the next grab working
    SCOPED_TRACE(round);
    std::string out;
    auto grab = std::async(std::launch::async, [&] { return GrabCapturing(*instance, &out); });
    for (int i = 0; i < 400 && !hacq_test::SdkControls().IsGrabbing(kMonoKey); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(instance->SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
    ASSERT_EQ(grab.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "grab hangs";
    EXPECT_EQ(grab.get(), H_ERR_FGTIMEOUT);
    EXPECT_EQ(out, "getFrame fail\r\n");
    EXPECT_FALSE(hacq_test::SdkControls().IsGrabbing(kMonoKey));
    EXPECT_FALSE(Record(*instance).grab_started);
  }
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

// Catches a software trigger that delivers no frame, or more than one,
// to an asynchronous grab.
TEST_F(GrabTest, EachSoftwareTriggerDeliversOneFrame) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  ASSERT_EQ(instance->SetParam("TriggerMode", std::string("software_trigger")), H_MSG_OK);
  // The asynchronous start makes the stream run; the trigger then makes
  // exactly the one frame the grab takes.
  ASSERT_EQ(instance->GrabStartAsync(500.0), H_MSG_OK);
  ASSERT_EQ(instance->SetParam("do_TriggerSoftware", int64_t{0}), H_MSG_OK);
  Images images;
  EXPECT_EQ(instance->GrabAsync(500.0, &images), H_MSG_OK);
  EXPECT_EQ(hacq_test::SdkControls().CameraCounters(kMonoKey).frames_delivered, 1u);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

}  // namespace
}  // namespace acqtest
