#include "small_cameras.h"

#include "grab_fixture.h"

namespace reliability {

std::vector<simsdk::CameraConfig> SmallCameras() {
  std::vector<simsdk::CameraConfig> cameras = simsdk::DefaultCameras();
  for (simsdk::CameraConfig& camera : cameras) {
    camera.width.value = camera.width.max = acqtest::kWidth;
    camera.height.value = camera.height.max = acqtest::kHeight;
    camera.max_frame_rate = 0;
    camera.acquisition_frame_rate_enable.value = false;
    camera.trigger_mode.value = "Off";
    if (camera.key == kColorKey) camera.pixel_format.value = "RGB8";
  }
  return cameras;
}

std::optional<uint64_t> VerifiedFrame(const hostlayer::Images& images, const std::string& key,
                                      bool rgb) {
  if (images.empty() || images[0].width < 8 || images[0].height < 1) return std::nullopt;
  uint64_t frame = 0;
  for (int byte = 7; byte >= 0; --byte) frame = (frame << 8) | images[0].pixels[byte];
  const simsdk::FrameLayout layout = acqtest::CurrentLayout(key);
  acqtest::Part part;
  part.width = static_cast<uint32_t>(images[0].width);
  part.height = static_cast<uint32_t>(images[0].height);
  if (acqtest::Predict(layout, frame, rgb, part) != acqtest::PlanesOf(images)) return std::nullopt;
  return frame;
}

}  // namespace reliability
