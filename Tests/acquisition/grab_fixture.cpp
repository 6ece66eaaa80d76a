#include "grab_fixture.h"

namespace acqtest {

void GrabTest::SetUp() {
  InterfaceTest::SetUp();
  UseCameras(FastCameras(false));
}

void GrabTest::TearDown() {
  for (const char* key : {kMonoKey, kColorKey}) {
    EXPECT_EQ(hacq_test::SdkControls().CameraCounters(key).frames_outstanding, 0u)
        << key << " frames kept";
  }
  InterfaceTest::TearDown();
}

std::unique_ptr<hostlayer::Instance> GrabTest::Open(const std::string& device,
                                                    const std::string& color_space,
                                                    hostlayer::OpenParams params) {
  params.device = device;
  params.color_space = color_space;
  return OpenOk(params);
}

}  // namespace acqtest
