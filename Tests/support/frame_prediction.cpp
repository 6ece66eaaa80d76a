#include "hacq_test/frame_prediction.h"

#include <gtest/gtest.h>

#include "pixvane/pixel_formats.h"

namespace hacq_test {

std::vector<uint8_t> LibraryWhole(const uint8_t* raw, const ConversionInfo& info, bool rgb) {
  std::vector<uint8_t> whole(size_t(info.width) * info.height * (rgb ? 3 : 1));
  int32_t length = 0;
  if ((rgb ? PXVANE_ConvertToBGR24(raw, &info, whole.data(), &length)
           : PXVANE_ConvertToMono8(raw, &info, whole.data(), &length)) != 0)
    whole.clear();
  return whole;
}

Planes Predict(const simsdk::FrameLayout& layout, uint64_t frame, bool rgb, const Part& part) {
  const int channels = rgb ? 3 : 1;
  const std::vector<uint8_t> raw = simsdk::RenderFrame(layout, frame);
  const pixvane::PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  const ConversionInfo info{layout.width,     layout.height,        layout.padding_x,
                            layout.padding_y, uint32_t(raw.size()), format ? format->code : 0};
  const std::vector<uint8_t> whole = LibraryWhole(raw.data(), info, rgb);
  if (whole.empty()) {
    ADD_FAILURE() << "the library refuses " << layout.pixel_format;
    return {};
  }
  Planes planes(channels, std::vector<uint8_t>(size_t(part.width) * part.height));
  for (uint32_t r = 0; r < part.height; ++r)
    for (uint32_t c = 0; c < part.width; ++c) {
      const size_t src = size_t((part.start_row + r) * part.row_step) * layout.width +
                         (part.start_column + c) * part.column_step;
      for (int ch = 0; ch < channels; ++ch) {
        // Triples are blue, green, red; the planes red, green, blue.
        const int byte = rgb ? 2 - ch : 0;
        planes[ch][size_t(r) * part.width + c] = whole[src * channels + byte];
      }
    }
  return planes;
}

Planes PlanesOf(const hostlayer::Images& images) {
  Planes planes;
  for (const hostlayer::Image& image : images) {
    const uint8_t* p = image.pixels;
    planes.emplace_back(p, p + size_t(image.width) * image.height);
  }
  return planes;
}

std::vector<simsdk::CameraConfig> FastCameras(bool native_size) {
  std::vector<simsdk::CameraConfig> cameras = simsdk::DefaultCameras();
  for (simsdk::CameraConfig& camera : cameras) {
    if (!native_size) {  // the sensor is the image, so the image shows the whole scene
      camera.width.value = camera.width.max = kWidth;
      camera.height.value = camera.height.max = kHeight;
    }
    camera.max_frame_rate = 0;
    camera.acquisition_frame_rate_enable.value = false;
    camera.trigger_mode.value = "Off";
  }
  return cameras;
}

}  // namespace hacq_test
