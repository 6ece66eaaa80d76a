// Fault injection: an operation can be made to fail for the next N calls or
// for good, and a failed call changes nothing.  Every operation shares one
// counting path; each is also made to fail by the interface's tests (open,
// grab, set, close and listing failures, and the fault sweep), which expect
// its code, so a few operations of each kind stand for all here.
#include <gtest/gtest.h>

#include <functional>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

using sdkabi::FaultPoint;

struct FaultCase {
  FaultPoint op;
  const char* name;
  std::function<bool(GENICAM_Camera*, GENICAM_StreamSource*)> attempt;
};

bool Grabbing(GENICAM_StreamSource* s) {
  return s->isGrabbing(s) == 0 || s->startGrabbing(s, 0, 1) == 0;
}

const FaultCase kCases[] = {
    {FaultPoint::Discovery, "Discovery",  // a fault on no camera
     [](GENICAM_Camera*, GENICAM_StreamSource*) { return FindCamera("F") != nullptr; }},
    {FaultPoint::Connect, "Connect",
     [](GENICAM_Camera* c, GENICAM_StreamSource*) {
       return c->connect(c, SDK_ACCESS_CONTROL) == 0;
     }},
    {FaultPoint::CreateISPControl, "CreateISPControl",
     [](GENICAM_Camera* c, GENICAM_StreamSource*) {
       const ControlCreateInfo info = ControlInfo(c);
       GENICAM_ISPControl* isp = nullptr;
       if (GENICAM_createISPControl(&info, &isp) != 0) return false;
       isp->release(isp);
       return true;
     }},
    {FaultPoint::StartGrabbing, "StartGrabbing",
     [](GENICAM_Camera*, GENICAM_StreamSource* s) {
       s->stopGrabbing(s);
       return s->startGrabbing(s, 0, 1) == 0 && s->isGrabbing(s) == 0;
     }},
    {FaultPoint::InvalidFrame, "InvalidFrame",
     [](GENICAM_Camera*, GENICAM_StreamSource* s) {
       if (!Grabbing(s)) return false;
       FrameOwner f = GetFrame(s, 1000);
       return f.frame && f.frame->valid(f.frame) == 0;
     }},
};

class EveryFault : public SimTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    simsdk::SetCameras({SmallCamera("F")});
    camera_ = FindCamera("F");
    ASSERT_NE(camera_, nullptr);
    stream_.stream = OpenStream("F");
    ASSERT_NE(stream_.stream, nullptr);
  }
  void TearDown() override {
    stream_ = {};
    SimTest::TearDown();
  }
  bool Attempt() { return GetParam().attempt(camera_, stream_.stream); }
  GENICAM_Camera* camera_ = nullptr;
  StreamOwner stream_;
};

// Catches a fault that fires too often, too rarely or not at all, a "for
// good" fault that wears off, and ClearFaults that leaves one armed.
TEST_P(EveryFault, FailsTheNextNCallsOrForGoodUntilCleared) {
  const FaultPoint op = GetParam().op;
  ASSERT_TRUE(Attempt()) << "fails without a fault";
  SdkControls().InjectFault("F", op, 2);
  EXPECT_FALSE(Attempt());
  EXPECT_FALSE(Attempt());
  EXPECT_TRUE(Attempt());
  SdkControls().InjectFault("F", op, sdkabi::kForever);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Attempt()) << "call " << i;
  SdkControls().ClearFaults();
  EXPECT_TRUE(Attempt());
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryFault, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

using FaultScope = SimTest;

// Catches a feature fault that hits other features or other cameras, and a
// refused write that still changes the camera or goes unlogged.
TEST_F(FaultScope, FeatureFaultsHitOnlyTheirFeatureAndCamera) {
  simsdk::SetCameras({SmallCamera("A"), SmallCamera("B")});
  SdkControls().InjectFault("A", FaultPoint::FeatureWrite, sdkabi::kForever, "Gamma");
  for (const char* key : {"A", "B"}) {
    GENICAM_Camera* camera = FindCamera(key);
    ASSERT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
    const ControlCreateInfo info = ControlInfo(camera);
    GENICAM_AnalogControl* analog = nullptr;
    ASSERT_EQ(GENICAM_createAnalogControl(&info, &analog), 0);
    GENICAM_DoubleNode gamma = analog->gamma(analog);
    GENICAM_DoubleNode gain = analog->gainRaw(analog);
    const bool faulted = std::string(key) == "A";
    EXPECT_EQ(gamma.setValue(&gamma, 2.0), faulted ? -1 : 0) << key;
    EXPECT_EQ(gain.setValue(&gain, 2.0), 0) << key;
    EXPECT_EQ(simsdk::CameraState(key)->gamma.value, faulted ? 1.0 : 2.0) << key;
    EXPECT_EQ(SdkControls().WriteLog(key).front(), (sdkabi::LogEntry{"Gamma", "2", !faulted}))
        << key;
    gamma.release(&gamma);
    gain.release(&gain);
    analog->release(analog);
  }
}

// Catches a request the control cannot honour that still arms a rule (a
// count of 0 failing one call) or reads past the table of points.
TEST_F(FaultScope, RequestsOutsideTheContractArmNothing) {
  simsdk::SetCameras({SmallCamera("A")});
  const auto connect = static_cast<int32_t>(FaultPoint::Connect);
  struct Case {
    const char* what;
    const char* key;
    int32_t point, count, skip;
  };
  for (const Case c : {Case{"count 0", "A", connect, 0, 0}, Case{"count -2", "A", connect, -2, 0},
                       Case{"negative skip", "A", connect, 1, -1},
                       Case{"unknown point", "A", sdkabi::kFaultPoints, 1, 0},
                       Case{"no key", nullptr, connect, 1, 0}}) {
    EXPECT_EQ(SDKCTL_InjectFault(c.key, c.point, c.count, c.skip, ""), -1) << c.what;
    GENICAM_Camera* camera = FindCamera("A");
    EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0) << c.what;
  }
}

}  // namespace
}  // namespace sdktest
