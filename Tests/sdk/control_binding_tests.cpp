// The test controls of an SDK library loaded by path, as a program that
// drives several SDK libraries reaches them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

using sdkabi::FaultPoint;

using ControlBinding = SimTest;

// Catches bound entry points that reach another state than the library's
// own (a second copy of the plumbing, a slot bound to the wrong name).
TEST_F(ControlBinding, ControlsBoundByNameDriveTheLoadedLibrary) {
  void* library = dlopen(HACQ_SIM_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto bound = sdkabi::Controls::Bind([&](const char* name) { return dlsym(library, name); });
  ASSERT_TRUE(bound);
  simsdk::SetCameras({SmallCamera("B")});
  GENICAM_Camera* camera = FindCamera("B");
  ASSERT_NE(camera, nullptr);

  bound->InjectFault("B", FaultPoint::Connect);
  const uint64_t connects = bound->FaultableCalls(FaultPoint::Connect);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), -1);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
  EXPECT_EQ(bound->FaultableCalls(FaultPoint::Connect), connects + 2);
  EXPECT_TRUE(bound->IsConnected("B"));
  EXPECT_EQ(bound->CameraCounters("B").connects, 1u);

  const ControlCreateInfo info = ControlInfo(camera);
  GENICAM_ISPControl* isp = nullptr;
  ASSERT_EQ(GENICAM_createISPControl(&info, &isp), 0);
  GENICAM_IntNode contrast = isp->contrast(isp);
  EXPECT_EQ(bound->LiveObjects(), (sdkabi::LiveObjectCount{1, 0, 0, 1, 0}));
  bound->InjectFaultAt("B", FaultPoint::FeatureWrite, 2, "Contrast");
  EXPECT_EQ(contrast.setValue(&contrast, 7), 0);
  EXPECT_EQ(contrast.setValue(&contrast, 8), -1);
  EXPECT_EQ(bound->WriteLog("B"),
            (std::vector<sdkabi::LogEntry>{{"Contrast", "7", true}, {"Contrast", "8", false}}));
  bound->ClearWriteLog("B");
  EXPECT_TRUE(SdkControls().WriteLog("B").empty());
  contrast.release(&contrast);
  isp->release(isp);
  dlclose(library);
}

// Catches a binding that hands out controls with an entry point missing
// (the first call through it would crash).
TEST(ControlBindingNames, AnyMissingEntryPointBindsNothing) {
  void* library = dlopen(HACQ_SIM_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* missing :
       {"SDKCTL_InjectFault", "SDKCTL_ClearFaults", "SDKCTL_FaultableCalls", "SDKCTL_VisitWriteLog",
        "SDKCTL_ClearWriteLog", "SDKCTL_CameraCounters", "SDKCTL_IsConnected", "SDKCTL_IsGrabbing",
        "SDKCTL_LiveObjects"}) {
    ASSERT_NE(dlsym(library, missing), nullptr) << missing;
    const auto bound = sdkabi::Controls::Bind([&](const char* name) {
      return std::strcmp(name, missing) == 0 ? nullptr : dlsym(library, name);
    });
    EXPECT_FALSE(bound) << missing;
  }
  dlclose(library);
}

}  // namespace
}  // namespace sdktest
