#include "hacq_test/fake_gv_camera.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace hacq_test {
namespace {

// Runs on the fake camera's thread for each frame it sends.
void FillPattern(ArvBuffer* buffer, void* data, guint32 /*exposure_us*/, guint32 /*gain*/,
                 ArvPixelFormat format) {
  auto* camera = static_cast<ArvFakeCamera*>(data);
  guint32 reverse_x = 0;
  guint32 reverse_y = 0;
  arv_fake_camera_read_register(camera, fake_register::kReverseX, &reverse_x);
  arv_fake_camera_read_register(camera, fake_register::kReverseY, &reverse_y);
  const auto width = static_cast<uint32_t>(std::max(arv_buffer_get_image_width(buffer), 0));
  const auto height = static_cast<uint32_t>(std::max(arv_buffer_get_image_height(buffer), 0));
  const uint32_t bytes_per_pixel = std::max(ARV_PIXEL_FORMAT_BIT_PER_PIXEL(format) / 8, 1u);
  // The fake camera sizes the buffer for the payload and says nothing of
  // its size until it is filled.
  if (size_t{width} * height * bytes_per_pixel > arv_fake_camera_get_payload(camera)) return;
  size_t ignored = 0;
  // Aravis hands the buffer out read-only; filling it is this callback's job.
  auto* pixels = static_cast<uint8_t*>(const_cast<void*>(arv_buffer_get_data(buffer, &ignored)));
  const auto frame = static_cast<uint8_t>(arv_buffer_get_frame_id(buffer));
  const int channels = format == ARV_PIXEL_FORMAT_RGB_8_PACKED ? 3 : 1;
  // Row by row from the pattern's first column, so a frame of a megapixel
  // takes well under a millisecond and the camera's rate is its own.
  std::vector<uint8_t> first(bytes_per_pixel);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t b = 0; b < bytes_per_pixel; ++b)
      first[b] = PatternSample(0, y, width, height, reverse_x != 0, reverse_y != 0, frame,
                               static_cast<int>(b) % channels);
    // Along a row the sample rises by one per pixel, or falls when reversed.
    const uint8_t step = reverse_x != 0 ? 0xff : 1;
    for (uint32_t x = 0; x < width; ++x)
      for (uint32_t b = 0; b < bytes_per_pixel; ++b)
        *pixels++ = static_cast<uint8_t>(first[b] + step * x);
  }
}

}  // namespace

FakeGvCamera::FakeGvCamera(const std::string& address, const std::string& serial)
    : gv_camera_(arv_gv_fake_camera_new_full(address.c_str(), serial.c_str(), HACQ_FAKE_GV_XML)),
      camera_(arv_gv_fake_camera_get_fake_camera(gv_camera_)),
      key_("Aravis-Fake-" + serial) {
  arv_fake_camera_set_fill_pattern(camera_, &FillPattern, camera_);
  // Software triggers are polled at this rate (25 Hz without it).
  arv_fake_camera_set_trigger_frequency(camera_, 1000.0);
  Reset();
}

FakeGvCamera::~FakeGvCamera() {
  g_object_unref(gv_camera_);
}

bool FakeGvCamera::running() const {
  return arv_gv_fake_camera_is_running(gv_camera_);
}

void FakeGvCamera::Reset() {
  using namespace fake_register;
  const std::pair<uint32_t, uint32_t> values[] = {
      {kWidth, 64},         {kHeight, 48},         {kPixelFormat, ARV_PIXEL_FORMAT_MONO_8},
      {kGainRaw, 1},        {kExposureTime, 1000}, {kAcquisitionMode, 1},
      {kFramePeriod, 2000}, {kTriggerMode, 0},     {kTriggerSoftware, 0},
      {kTriggerSource, 1},  {kReverseX, 0},        {kReverseY, 0},
      {kExposureAuto, 2},   {kFrameRateEnable, 0}, {kContrast, 50}};
  for (const auto& [address, value] : values) SetRegister(address, value);
  // Gamma 1.0 as a big-endian IEEE double.
  const uint8_t one[8] = {0x3f, 0xf0, 0, 0, 0, 0, 0, 0};
  arv_fake_camera_write_memory(camera_, kGamma, sizeof one, one);
  const char empty[16] = {};
  arv_fake_camera_write_memory(camera_, kDeviceUserId, sizeof empty, empty);
}

void FakeGvCamera::SetRegister(uint32_t address, uint32_t value) {
  arv_fake_camera_write_register(camera_, address, value);
}

uint32_t FakeGvCamera::Register(uint32_t address) const {
  guint32 value = 0;
  arv_fake_camera_read_register(camera_, address, &value);
  return value;
}

double FakeGvCamera::Gamma() const {
  uint8_t bytes[8] = {};
  arv_fake_camera_read_memory(camera_, fake_register::kGamma, sizeof bytes, bytes);
  uint64_t bits = 0;
  for (uint8_t byte : bytes) bits = (bits << 8) | byte;
  double value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string FakeGvCamera::DeviceUserId() const {
  char text[17] = {};
  arv_fake_camera_read_memory(camera_, fake_register::kDeviceUserId, 16, text);
  return text;
}

}  // namespace hacq_test
