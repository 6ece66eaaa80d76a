// The trigger routines on a simulated camera's acquisition control, judged
// by the camera's write log.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "camera_sdk.h"
#include "grab_fixture.h"
#include "sim_control.h"
#include "trigger_control.h"

namespace acqtest {
namespace {

using simsdk::LogEntry;

// Connects the mono camera and makes its acquisition control.
class TriggerRoutines : public testing::Test {
 protected:
  void SetUp() override {
    simsdk::Reset();
    GENICAM_System* system = nullptr;
    ASSERT_EQ(GENICAM_getSystemInstance(&system), SDK_OK);
    GENICAM_Camera* cameras = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL), SDK_OK);
    for (uint32_t i = 0; i < count; ++i)
      if (std::string(cameras[i].getKey(&cameras[i])) == kMonoKey) camera_ = &cameras[i];
    ASSERT_NE(camera_, nullptr);
    ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
    ControlCreateInfo info{};
    info.camera = camera_;
    ASSERT_EQ(GENICAM_createAcquisitionControl(&info, &ctl_), SDK_OK);
    simsdk::ClearWriteLog(kMonoKey);
  }
  void TearDown() override {
    if (ctl_ != nullptr) ctl_->release(ctl_);
    if (camera_ != nullptr) camera_->disConnect(camera_);
    // Catches nodes that a routine does not release.
    EXPECT_EQ(simsdk::LiveObjects(), simsdk::LiveObjectCount{});
  }

  GENICAM_Camera* camera_ = nullptr;
  GENICAM_AcquisitionControl* ctl_ = nullptr;
};

struct SwitchCase {
  const char* name;
  int32_t (*routine)(GENICAM_AcquisitionControl*);
  const char* refused_feature;  // "" for none
  int32_t result;
  std::vector<LogEntry> log;
};

// Catches writes in the wrong order (source after selector), a switch that
// goes on after a refused write, and a failure reported as success.
TEST_F(TriggerRoutines, WriteOrderAndFailureAfterOneWrite) {
  const SwitchCase cases[] = {
      {"software",
       SetTriggerSoftware,
       "",
       0,
       {{"TriggerSource", "Software", true},
        {"TriggerSelector", "FrameStart", true},
        {"TriggerMode", "On", true}}},
      {"line",
       SetTriggerLine,
       "",
       0,
       {{"TriggerSource", "Line1", true},
        {"TriggerSelector", "FrameStart", true},
        {"TriggerMode", "On", true}}},
      {"continuous leaves the source",
       SetTriggerContinuous,
       "",
       0,
       {{"TriggerSelector", "FrameStart", true}, {"TriggerMode", "Off", true}}},
      {"software refused at the source",
       SetTriggerSoftware,
       "TriggerSource",
       -1,
       {{"TriggerSource", "Software", false}}},
      {"line refused at the selector",
       SetTriggerLine,
       "TriggerSelector",
       -1,
       {{"TriggerSource", "Line1", true}, {"TriggerSelector", "FrameStart", false}}},
      {"continuous refused at the mode",
       SetTriggerContinuous,
       "TriggerMode",
       -1,
       {{"TriggerSelector", "FrameStart", true}, {"TriggerMode", "Off", false}}},
  };
  for (const SwitchCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    if (*tc.refused_feature != '\0')
      simsdk::InjectFault(kMonoKey, simsdk::SimOp::FeatureWrite, 1, tc.refused_feature);
    EXPECT_EQ(tc.routine(ctl_), tc.result);
    EXPECT_EQ(simsdk::WriteLog(kMonoKey), tc.log);
    simsdk::ClearFaults();
    simsdk::ClearWriteLog(kMonoKey);
  }
}

// Catches a software trigger whose failure is swallowed, or that is sent
// more than once.
TEST_F(TriggerRoutines, SoftwareTriggerExecutesOnceAndReportsRefusal) {
  EXPECT_EQ(SendSoftwareTrigger(ctl_), 0);
  EXPECT_EQ(simsdk::WriteLog(kMonoKey), (std::vector<LogEntry>{{"TriggerSoftware", "", true}}));
  simsdk::ClearWriteLog(kMonoKey);
  simsdk::InjectFault(kMonoKey, simsdk::SimOp::CommandExecute);
  EXPECT_EQ(SendSoftwareTrigger(ctl_), -1);
}

using TriggerThroughHost = GrabTest;

// Catches a mode word in capitals that is refused or switches the wrong
// mode, and a software trigger that delivers no frame.
TEST_F(TriggerThroughHost, CapitalModeWordAndOneFramePerTrigger) {
  auto instance = Open(kMonoKey, "gray");
  ASSERT_TRUE(instance);
  simsdk::ClearWriteLog(kMonoKey);
  ASSERT_EQ(instance->SetParam("TriggerMode", std::string("SOFTWARE_TRIGGER")), H_MSG_OK);
  EXPECT_EQ(simsdk::WriteLog(kMonoKey),
            (std::vector<LogEntry>{{"TriggerSource", "Software", true},
                                   {"TriggerSelector", "FrameStart", true},
                                   {"TriggerMode", "On", true}}));
  // The asynchronous start makes the stream run; the trigger then makes
  // exactly the one frame the grab takes.
  ASSERT_EQ(instance->GrabStartAsync(500.0), H_MSG_OK);
  ASSERT_EQ(instance->SetParam("do_TriggerSoftware", int64_t{0}), H_MSG_OK);
  hostlayer::Images images;
  EXPECT_EQ(instance->GrabAsync(500.0, &images), H_MSG_OK);
  EXPECT_EQ(simsdk::CameraCounters(kMonoKey).frames_delivered, 1u);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

}  // namespace
}  // namespace acqtest
