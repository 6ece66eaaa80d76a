// Smoke check of the Windows libraries, run under Wine by
// scripts/build_windows.sh: the host driver loads hAcqOmbrix.dll, the
// interface loads Tervixmd.dll, and one camera is opened, set, read,
// grabbed from and closed.  Prints "N passed, N failed"; exit 1 on a failure.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
  ++(ok ? passed : failed);
}

// A small Mono8 camera that delivers a frame whenever one is asked for.
simsdk::CameraConfig SmallCamera() {
  simsdk::CameraConfig camera = simsdk::DefaultCameras().at(0);
  camera.width = {64, 16, 64, 16, true};
  camera.height = {48, 2, 48, 2, true};
  camera.max_frame_rate = 0;
  return camera;
}

// The image is one of the first frames the simulator renders.
bool IsSimulatedFrame(const hostlayer::Image& image) {
  const simsdk::FrameLayout layout = simsdk::LayoutOf(SmallCamera());
  if (image.width != 64 || image.height != 48) return false;
  for (uint64_t frame = 0; frame < 4; ++frame) {
    const std::vector<uint8_t> expected = simsdk::RenderFrame(layout, frame);
    if (std::memcmp(expected.data(), image.pixels, expected.size()) == 0) return true;
  }
  return false;
}

}  // namespace

int main() {
  const simsdk::CameraConfig camera = SmallCamera();
  simsdk::SetCameras({camera});
  hostlayer::Driver& driver = hostlayer::Driver::Get();
  Check(driver.ok(), "hAcqOmbrix.dll loaded and registered");
  if (!driver.ok()) {
    std::printf("%s\n0 passed, 1 failed\n", driver.load_error().c_str());
    return 1;
  }
  const hostlayer::MemoryStats before = hostlayer::Memory();
  {
    hostlayer::OpenParams params;
    params.device = camera.key;
    std::unique_ptr<hostlayer::Instance> instance;
    Check(driver.Open(params, &instance) == H_MSG_OK, "camera opened");
    if (instance) {
      Check(instance->SetParam("grab_timeout", int64_t{2000}) == H_MSG_OK, "grab_timeout set");
      std::vector<hostlayer::Value> values;
      Check(instance->GetParam("grab_timeout", &values) == H_MSG_OK && values.size() == 1 &&
                values[0] == hostlayer::Value(int64_t{2000}),
            "grab_timeout read back");
      hostlayer::Images images;
      Check(
          instance->Grab(&images) == H_MSG_OK && images.size() == 1 && IsSimulatedFrame(images[0]),
          "grabbed image equals the simulated frame");
      images.clear();
      Check(instance->Close() == H_MSG_OK, "camera closed");
    }
  }
  Check(!sdkabi::Controls::Linked().IsConnected(camera.key), "camera disconnected after close");
  Check(hostlayer::Memory().live_blocks == before.live_blocks, "no host blocks left behind");
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
