#include "fuzz_world.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hostlayer/host_control.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace hacq_fuzz {
namespace {

const sdkabi::Controls& SdkControls() {
  static const sdkabi::Controls controls = sdkabi::Controls::Linked();
  return controls;
}

struct Live {
  int64_t host_blocks = 0;
  int64_t host_mutexes = 0;
  sdkabi::LiveObjectCount sdk;
};

Live baseline;

Live CountLive() {
  return Live{hostlayer::Memory().live_blocks, hostlayer::LiveMutexes(),
              SdkControls().LiveObjects()};
}

bool Grew(const Live& now, const Live& base) {
  return now.host_blocks > base.host_blocks || now.host_mutexes > base.host_mutexes ||
         now.sdk.controls > base.sdk.controls || now.sdk.streams > base.sdk.streams ||
         now.sdk.frames > base.sdk.frames || now.sdk.value_nodes > base.sdk.value_nodes ||
         now.sdk.named_nodes > base.sdk.named_nodes;
}

std::vector<simsdk::CameraConfig> SmallCameras() {
  std::vector<simsdk::CameraConfig> cameras = simsdk::DefaultCameras();
  simsdk::CameraConfig& mono = cameras.at(0);
  mono.key = kMonoKey;
  mono.width = {64, 16, 64, 16, true};
  mono.height = {48, 2, 48, 2, true};
  simsdk::CameraConfig& colour = cameras.at(1);
  colour.key = kColorKey;
  colour.width = {48, 32, 64, 8, true};
  colour.height = {32, 2, 32, 2, true};
  for (simsdk::CameraConfig& camera : cameras) camera.max_frame_rate = 0;  // no waiting
  return cameras;
}

}  // namespace

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

hostlayer::Driver& TheDriver() {
  return hostlayer::Driver::Get();
}

void StartWorld() {
  hostlayer::Reset();
  simsdk::SetCameras(SmallCameras());
  if (!TheDriver().ok()) {
    std::fprintf(stderr, "interface not loaded: %s\n", TheDriver().load_error().c_str());
    std::abort();
  }
  if (TheDriver().Reinit() != H_MSG_OK) Fail("registration refused");
  baseline = CountLive();
}

void FinishRun() {
  hostlayer::Reset();
  SdkControls().ClearWriteLog(kMonoKey);
  SdkControls().ClearWriteLog(kColorKey);
  if (Grew(CountLive(), baseline)) Fail("host blocks, host mutexes or SDK objects leaked");
  if (SdkControls().IsConnected(kMonoKey) || SdkControls().IsConnected(kColorKey)) {
    Fail("a camera stayed connected after its instance was closed");
  }
}

}  // namespace hacq_fuzz
