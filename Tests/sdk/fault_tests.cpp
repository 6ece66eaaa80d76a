// Fault injection: every operation can be made to fail for the next N
// calls or for good, and a failed call changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

using simsdk::SimOp;

// A connected camera "F" with a stream; each attempt makes one call of the
// operation under test and says whether it succeeded.
struct Rig {
  GENICAM_Camera* camera = nullptr;
  StreamOwner stream;
};

template <typename Control, typename Create>
bool CreateAndRelease(Rig& rig, Create create) {
  const ControlCreateInfo info = ControlInfo(rig.camera);
  Control* control = nullptr;
  if (create(&info, &control) != 0) return false;
  control->release(control);
  return true;
}

template <typename Body>
bool WithAcquisition(Rig& rig, Body body) {
  const ControlCreateInfo info = ControlInfo(rig.camera);
  GENICAM_AcquisitionControl* acq = nullptr;
  if (GENICAM_createAcquisitionControl(&info, &acq) != 0) return false;
  const bool ok = body(acq);
  acq->release(acq);
  return ok;
}

bool EnsureGrabbing(Rig& rig) {
  GENICAM_StreamSource* s = rig.stream.stream;
  return s->isGrabbing(s) == 0 || s->startGrabbing(s, 0, 1) == 0;
}

FeatureNodeInfo NodeInfo(GENICAM_Camera* camera, const char* name) {
  FeatureNodeInfo info{};
  info.camera = camera;
  std::strncpy(info.attrName, name, sizeof info.attrName - 1);
  return info;
}

struct FaultCase {
  SimOp op;
  const char* name;
  std::function<bool(Rig&)> attempt;
};

const FaultCase kCases[] = {
    {SimOp::SystemInstance, "SystemInstance",
     [](Rig&) {
       GENICAM_System* s = nullptr;
       return GENICAM_getSystemInstance(&s) == 0 && s != nullptr;
     }},
    {SimOp::Discovery, "Discovery",
     [](Rig&) {
       GENICAM_System* s = nullptr;
       GENICAM_getSystemInstance(&s);
       GENICAM_Camera* cameras = nullptr;
       uint32_t count = 0;
       return s->discovery(s, &cameras, &count, SDK_DISCOVERY_ALL) == 0 && count == 1;
     }},
    {SimOp::Connect, "Connect",
     [](Rig& r) { return r.camera->connect(r.camera, SDK_ACCESS_CONTROL) == 0; }},
    {SimOp::Disconnect, "Disconnect",
     [](Rig& r) {
       const bool ok = r.camera->disConnect(r.camera) == 0;
       r.camera->connect(r.camera, SDK_ACCESS_CONTROL);
       return ok;
     }},
    {SimOp::CreateAcquisitionControl, "CreateAcquisitionControl",
     [](Rig& r) {
       return CreateAndRelease<GENICAM_AcquisitionControl>(r, GENICAM_createAcquisitionControl);
     }},
    {SimOp::CreateImageFormatControl, "CreateImageFormatControl",
     [](Rig& r) {
       return CreateAndRelease<GENICAM_ImageFormatControl>(r, GENICAM_createImageFormatControl);
     }},
    {SimOp::CreateAnalogControl, "CreateAnalogControl",
     [](Rig& r) {
       return CreateAndRelease<GENICAM_AnalogControl>(r, GENICAM_createAnalogControl);
     }},
    {SimOp::CreateISPControl, "CreateISPControl",
     [](Rig& r) { return CreateAndRelease<GENICAM_ISPControl>(r, GENICAM_createISPControl); }},
    {SimOp::CreateUserSetControl, "CreateUserSetControl",
     [](Rig& r) {
       return CreateAndRelease<GENICAM_UserSetControl>(r, GENICAM_createUserSetControl);
     }},
    {SimOp::CreateDeviceControl, "CreateDeviceControl",
     [](Rig& r) {
       return CreateAndRelease<GENICAM_DeviceControl>(r, GENICAM_createDeviceControl);
     }},
    {SimOp::CreateStream, "CreateStream",
     [](Rig& r) {
       StreamSourceInfo info{r.camera, 0, {}};
       GENICAM_StreamSource* s = nullptr;
       if (GENICAM_createStreamSource(&info, &s) != 0) return false;
       s->release(s);
       return true;
     }},
    {SimOp::StartGrabbing, "StartGrabbing",
     [](Rig& r) {
       GENICAM_StreamSource* s = r.stream.stream;
       s->stopGrabbing(s);
       return s->startGrabbing(s, 0, 1) == 0 && s->isGrabbing(s) == 0;
     }},
    {SimOp::StopGrabbing, "StopGrabbing",
     [](Rig& r) {
       GENICAM_StreamSource* s = r.stream.stream;
       EnsureGrabbing(r);
       return s->stopGrabbing(s) == 0 && s->isGrabbing(s) == -1;
     }},
    {SimOp::FrameTimeout, "FrameTimeout",
     [](Rig& r) { return EnsureGrabbing(r) && GetFrame(r.stream.stream, 1000).frame != nullptr; }},
    {SimOp::InvalidFrame, "InvalidFrame",
     [](Rig& r) {
       if (!EnsureGrabbing(r)) return false;
       FrameOwner f = GetFrame(r.stream.stream, 1000);
       return f.frame && f.frame->valid(f.frame) == 0;
     }},
    {SimOp::FeatureRead, "FeatureRead",
     [](Rig& r) {
       return WithAcquisition(r, [](GENICAM_AcquisitionControl* acq) {
         GENICAM_DoubleNode n = acq->exposureTime(acq);
         double v = 0;
         const bool ok = n.getValue(&n, &v) == 0;
         n.release(&n);
         return ok;
       });
     }},
    {SimOp::FeatureWrite, "FeatureWrite",
     [](Rig& r) {
       return WithAcquisition(r, [](GENICAM_AcquisitionControl* acq) {
         GENICAM_DoubleNode n = acq->exposureTime(acq);
         const bool ok = n.setValue(&n, 5000.0) == 0;
         n.release(&n);
         return ok;
       });
     }},
    {SimOp::EnumList, "EnumList",
     [](Rig& r) {
       return WithAcquisition(r, [](GENICAM_AcquisitionControl* acq) {
         GENICAM_EnumNode n = acq->triggerMode(acq);
         GENICAM_EnumEntry list[4];
         uint32_t count = 4;
         const bool ok = n.getEnumSymbolList(&n, list, &count) == 0 && count == 2;
         n.release(&n);
         return ok;
       });
     }},
    {SimOp::CreateEnumNode, "CreateEnumNode",
     [](Rig& r) {
       const FeatureNodeInfo info = NodeInfo(r.camera, "ContrastMode");
       GENICAM_EnumNode* n = nullptr;
       if (GENICAM_createEnumNode(&info, &n) != 0) return false;
       n->release(n);
       return true;
     }},
    {SimOp::CreateStringNode, "CreateStringNode",
     [](Rig& r) {
       const FeatureNodeInfo info = NodeInfo(r.camera, "DeviceUserID");
       GENICAM_StringNode* n = nullptr;
       if (GENICAM_createStringNode(&info, &n) != 0) return false;
       n->release(n);
       return true;
     }},
    {SimOp::CommandExecute, "CommandExecute",
     [](Rig& r) {
       return WithAcquisition(r, [](GENICAM_AcquisitionControl* acq) {
         GENICAM_CmdNode n = acq->triggerSoftware(acq);
         const bool ok = n.execute(&n) >= 0;
         n.release(&n);
         return ok;
       });
     }},
};

class EveryFault : public SimTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    simsdk::SetCameras({SmallCamera("F")});
    rig_.camera = FindCamera("F");
    ASSERT_NE(rig_.camera, nullptr);
    rig_.stream.stream = OpenStream("F");
    ASSERT_NE(rig_.stream.stream, nullptr);
  }
  void TearDown() override {
    rig_.stream = {};
    SimTest::TearDown();
  }
  Rig rig_;
};

// Catches a fault that fires too often, too rarely, or not at all, and an
// operation that does not work in the rig to begin with.
TEST_P(EveryFault, FailsExactlyTheNextNCallsThenWorks) {
  const FaultCase& c = GetParam();
  ASSERT_TRUE(c.attempt(rig_)) << "fails without a fault";
  simsdk::InjectFault("F", c.op, 2);
  EXPECT_FALSE(c.attempt(rig_));
  EXPECT_FALSE(c.attempt(rig_));
  EXPECT_TRUE(c.attempt(rig_));
  EXPECT_TRUE(c.attempt(rig_));
}

// Catches a "for good" fault that wears off, and ClearFaults that leaves
// one armed.
TEST_P(EveryFault, FailsForGoodUntilCleared) {
  const FaultCase& c = GetParam();
  simsdk::InjectFault("F", c.op, simsdk::kForever);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(c.attempt(rig_)) << "call " << i;
  simsdk::ClearFaults();
  EXPECT_TRUE(c.attempt(rig_));
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryFault, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

using FaultScope = SimTest;

// Catches a feature fault that hits other features or other cameras, and a
// refused write that still changes the camera or goes unlogged.
TEST_F(FaultScope, FeatureFaultsHitOnlyTheirFeatureAndCamera) {
  simsdk::SetCameras({SmallCamera("A"), SmallCamera("B")});
  simsdk::InjectFault("A", SimOp::FeatureWrite, simsdk::kForever, "Gamma");
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
    EXPECT_EQ(simsdk::WriteLog(key).front(), (simsdk::LogEntry{"Gamma", "2", !faulted})) << key;
    gamma.release(&gamma);
    gain.release(&gain);
    analog->release(analog);
  }
}

}  // namespace
}  // namespace sdktest
