#include "grab_fixture.h"

#include "base/records.h"
#include "conversion.h"
#include "pixvane/pixel_formats.h"

namespace acqtest {

namespace {

// The sensor is the image, so the image shows the whole scene.
void SmallAndFast(simsdk::CameraConfig& camera) {
  camera.width.value = camera.width.max = kWidth;
  camera.height.value = camera.height.max = kHeight;
  camera.max_frame_rate = 0;
  camera.acquisition_frame_rate_enable.value = false;
  camera.trigger_mode.value = "Off";
}

// The whole frame as the interface's conversion should see it: gray bytes,
// or blue-green-red triples.
std::vector<uint8_t> WholeImage(const simsdk::FrameLayout& layout, uint64_t frame, bool rgb) {
  const std::vector<uint8_t> raw = simsdk::RenderFrame(layout, frame);
  const size_t pixels = size_t(layout.width) * layout.height;
  std::vector<uint8_t> out(pixels * (rgb ? 3 : 1));
  if (layout.pixel_format == "Mono8") {
    for (uint32_t r = 0; r < layout.height; ++r)
      for (uint32_t c = 0; c < layout.width; ++c) {
        const uint8_t v = raw[size_t(r) * (layout.width + layout.padding_x) + c];
        const size_t i = size_t(r) * layout.width + c;
        if (rgb) {
          out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = v;
        } else {
          out[i] = v;
        }
      }
    return out;
  }
  const pixvane::PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  if (format == nullptr) {
    ADD_FAILURE() << "no code for " << layout.pixel_format;
    return out;
  }
  const uint32_t code = format->code;
  const ConversionInfo info{layout.width,     layout.height,        layout.padding_x,
                            layout.padding_y, uint32_t(raw.size()), code};
  int32_t length = 0;
  const int32_t rc = rgb ? PXVANE_ConvertToBGR24(raw.data(), &info, out.data(), &length)
                         : PXVANE_ConvertToMono8(raw.data(), &info, out.data(), &length);
  EXPECT_EQ(rc, 0) << layout.pixel_format;
  return out;
}

}  // namespace

simsdk::FrameLayout CurrentLayout(const std::string& key) {
  return simsdk::LayoutOf(simsdk::CameraState(key).value());
}

Planes Predict(const simsdk::FrameLayout& layout, uint64_t frame, bool rgb, const Part& part) {
  const std::vector<uint8_t> whole = WholeImage(layout, frame, rgb);
  const int channels = rgb ? 3 : 1;
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

namespace {

// Rules a candidate out cheaply where the delivered bytes are the camera's
// samples themselves (Mono8): a few pixels of the first plane, the first
// eight of the first row (where the frame-number stamp usually is) among
// them.  Spares the whole-frame prediction for each frame a long run skips.
bool MayBeFrame(const Planes& got, const simsdk::FrameLayout& layout, uint64_t frame,
                const Part& part) {
  if (layout.pixel_format != "Mono8") return true;
  if (got.empty() || got[0].size() != size_t(part.width) * part.height) return false;
  for (uint32_t k = 0; k < 16; ++k) {
    const uint32_t r = k < 8 ? 0 : (k * 7919u) % part.height;
    const uint32_t c = (k < 8 ? k : k * 104729u) % part.width;
    const uint32_t sample =
        simsdk::DeliveredSample(layout, frame, (part.start_row + r) * part.row_step,
                                (part.start_column + c) * part.column_step, 0);
    if (got[0][size_t(r) * part.width + c] != sample) return false;
  }
  return true;
}

}  // namespace

std::optional<uint64_t> MatchFrame(const hostlayer::Images& images,
                                   const simsdk::FrameLayout& layout, bool rgb, const Part& part,
                                   uint64_t from) {
  const Planes got = PlanesOf(images);
  for (uint64_t start : {from, uint64_t{0}})
    for (uint64_t f = start; f < start + 64; ++f)
      if (MayBeFrame(got, layout, f, part) && Predict(layout, f, rgb, part) == got) return f;
  return std::nullopt;
}

void GrabTest::SetUp() {
  InterfaceTest::SetUp();
  std::vector<simsdk::CameraConfig> cameras = simsdk::DefaultCameras();
  for (simsdk::CameraConfig& camera : cameras) SmallAndFast(camera);
  UseCameras(cameras);
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

void GrabTest::ClearGrabFlags(hostlayer::Instance& instance) {
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{900}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{900}), H_MSG_OK);  // arms the stop
  hostlayer::Images images;
  EXPECT_EQ(instance.Grab(&images), H_MSG_OK);  // takes the stop and clears it
}

InstanceRecord& GrabTest::Record(hostlayer::Instance& instance) {
  return *instance.raw()->inst_data;
}

}  // namespace acqtest
