// Test control of the simulated camera SDK (libTervixmd): build the camera
// set, unplug cameras, send line pulses and predict frame content.  C++
// only; tests link libTervixmd and include this.  Faults, the write log,
// counters and live objects are every SDK library's controls
// (sdk_abi/controls.h).
//
// Every function here is thread-safe and may run while other threads use
// the SDK's C entry points.  Cameras are named by their key.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(SDK_BUILD)
#define SIM_API __declspec(dllexport)
#else
#define SIM_API __declspec(dllimport)
#endif
#else
#define SIM_API __attribute__((visibility("default")))
#endif

namespace simsdk {

// ---- Camera description --------------------------------------------------
// One record per feature.  `present = false` makes the feature absent: its
// accessor hands out an empty node and creating a node by its name fails.

struct IntFeature {
  int64_t value = 0;
  int64_t min = 0;
  int64_t max = 0;
  int64_t inc = 1;  // a write must be min + k * inc
  bool present = true;
};

struct FloatFeature {
  double value = 0;
  double min = 0;
  double max = 0;
  bool present = true;
};

struct BoolFeature {
  bool value = false;
  bool present = true;
};

struct EnumFeature {
  std::string value;
  std::vector<std::string> entries;  // the symbol list, in this order
  bool present = true;
};

struct StringFeature {
  std::string value;
  bool present = true;
};

struct CommandFeature {
  bool present = true;
};

struct CameraConfig {
  // Identity as discovery reports it; an empty name is allowed.
  std::string key;
  std::string name;
  std::string vendor;
  std::string model;
  std::string serial;

  // Image format control.
  IntFeature width;
  IntFeature height;
  EnumFeature pixel_format;  // names from pixvane::kPixelFormats
  BoolFeature reverse_x;
  BoolFeature reverse_y;
  // Acquisition control.
  FloatFeature acquisition_frame_rate;  // frames per second
  BoolFeature acquisition_frame_rate_enable;
  EnumFeature exposure_auto;
  FloatFeature exposure_time;
  EnumFeature trigger_mode;      // "Off", "On"
  EnumFeature trigger_selector;  // "FrameStart"
  EnumFeature trigger_source;    // "Software", "Line1"
  CommandFeature trigger_software;
  // Analog and ISP control.
  FloatFeature gain_raw;
  FloatFeature gamma;
  IntFeature contrast;
  EnumFeature contrast_mode;  // reachable by name only
  // Device control.
  StringFeature device_user_id;

  // Free-running rate while AcquisitionFrameRateEnable is off; 0 = a frame
  // whenever one is asked for and a buffer is free.
  double max_frame_rate = 0;
  uint32_t buffer_count = 4;  // frame buffers per stream
  uint32_t padding_x = 0;     // bytes after each row of a frame
  uint32_t padding_y = 0;     // bytes after the last row of a frame
};

// The built-in set: "MONO-2448" (a 2448 x 2048 monochrome camera named
// "Mono Cam") and "COLOR-1920" (1920 x 1200 colour, named "ColorCam1").
SIM_API std::vector<CameraConfig> DefaultCameras();

// Replaces the camera set.  Objects handed out for the previous cameras
// stay safe to call but fail (as if unplugged); faults are cleared, and the
// new cameras start with empty write logs and zero counters.
SIM_API void SetCameras(const std::vector<CameraConfig>& cameras);

// Parses a camera set from JSON text (format in Tools/USAGE.md).  On an
// invalid text returns nothing and, when `error` is given, says why.
SIM_API std::optional<std::vector<CameraConfig>> ParseCameras(const std::string& json_text,
                                                              std::string* error = nullptr);
// As ParseCameras, reading the file at `path`, and on success installs the
// set as SetCameras does.  Returns false (and leaves the set) on failure.
SIM_API bool LoadCamerasFromFile(const std::string& path, std::string* error = nullptr);

// Back to the start state: the set from the file named by the environment
// variable TERVIXMD_SIM_CONFIG, or DefaultCameras() without it, installed
// as SetCameras does: all streams stopped, every camera plugged in and
// disconnected.  A file that does not load gives no cameras and one line
// on stderr naming the file and the problem.
SIM_API void Reset();

// Edits a camera's current state in place (identity, feature values and
// limits, rate, buffers, padding) without checks; the edit applies to
// frames produced afterwards.  False when no camera has this key.
SIM_API bool UpdateCamera(const std::string& key, const std::function<void(CameraConfig&)>& edit);

// ---- Hot-plug and trigger lines ---------------------------------------------

// Unplugging makes every operation on the camera and its objects fail, stops
// its streams (waking waiters) and hides it from the next discovery; the
// camera counts as disconnected.  Replug brings it back, disconnected.
SIM_API bool Unplug(const std::string& key);
SIM_API bool Replug(const std::string& key);

// An edge on the camera's Line1: each grabbing stream in TriggerMode "On"
// with TriggerSource "Line1" makes one frame.  False for an unknown key.
SIM_API bool SendLinePulse(const std::string& key);

// ---- Observation -----------------------------------------------------------

// The camera's current description, with every value the SDK's callers
// wrote; nothing for an unknown key.
SIM_API std::optional<CameraConfig> CameraState(const std::string& key);

// ---- Frame content -----------------------------------------------------------
// Every camera shows one test scene, a published function of the frame
// number, the sensor position and the camera's settings; Tools/USAGE.md
// describes it.  Coordinates are in pixels of the sensor (width.max x
// height.max); the delivered image is its top-left Width x Height part,
// mirrored within that part: delivered pixel (row, col) is sensor pixel
// (reverse_y ? height-1-row : row, reverse_x ? width-1-col : col).
//
// The scene, in linear levels 0..65535 per red, green and blue, for a
// sensor of W x H (all divisions round down):
//   rows [0, H/2)       eight colour bars, column c in bar c * 8 / W:
//                       white, yellow, cyan, green, magenta, red, blue,
//                       black (components 0 or 49151, i.e. 75 %), with a
//                       black letter F in 5 x 7 font units of u = max(1,
//                       min(W/56, H/18)) pixels, its top-left at (u, u);
//   rows [H/2, 5H/8)    a track of 16 slots, column c in slot c * 16 / W,
//                       gray 13107 but slot (frame mod 16) white (49151);
//   rows [5H/8, 3H/4)   black, with frame mod 10^8 in eight white (49151)
//                       digits of the same font, each 6 x 7 units of
//                       d = min(B/9, W/49) pixels for the band's B rows,
//                       the first at column (W - 47d)/2 and row
//                       5H/8 + (B - 7d)/2 (no digits when d is 0);
//   rows [3H/4, H)      a gray ramp read column by column: pixel i =
//                       col * B + (row - 3H/4) of the band's B rows has
//                       level i * 65535 / (W * B - 1) (0 for a one-pixel
//                       band), so it looks like a ramp from black (left)
//                       to full scale (right), finer than 8 bits.
// The font is in SimSdk/src/scene.cpp.  Past the sensor (an image larger
// than it, from an edit without checks) the same formulas hold, with the
// bar, the slot and the ramp's i capped at their last.
// Each level then goes through the camera's tone curve:
//   e = ExposureTime / 10000 * 10^(GainRaw / 20)        (GainRaw in dB)
//   v = min(level / 65535 * e, 1)                        (saturation)
//   v = clamp(0.5 + 2^((Contrast - 50) / 50) * (v - 0.5), 0, 1)
//   v = v^(1 / Gamma)                  (Gamma at or below 0 counts as 1)
//   fine = floor(v * 65535 + 0.5)
// and a sample of b bits is fine >> (16 - b): the 8-bit formats carry the
// top bits of the deeper ones.  Mono formats show the luma
// (77 R + 150 G + 29 B + 128) >> 8 of the levels; a Bayer format takes the
// filter's colour at the delivered position; RGB/BGR(a) take each colour
// (alpha 255); YUV 4:2:2 takes Y = (77 R + 150 G + 29 B + 128) >> 8 of the
// pixel's 8-bit colour and, from the left pixel of its pair, U = 128 +
// (((B - Y) * 36984 + 32768) >> 16) or V = 128 + (((R - Y) * 46744 +
// 32768) >> 16), clamped to 0..255 (BT.601, full range).
//
// The stamp: sensor row 0, columns 0..7 carry byte `col` of the frame
// number (little endian) in the top 8 bits of every sample, the low bits
// 0, whatever the settings.

// What the frames of a camera depend on; LayoutOf takes it from a camera.
struct FrameLayout {
  std::string pixel_format;
  uint32_t width = 0;
  uint32_t height = 0;
  bool reverse_x = false;
  bool reverse_y = false;
  uint32_t padding_x = 0;
  uint32_t padding_y = 0;
  uint32_t sensor_width = 0;   // 0: the image's own width
  uint32_t sensor_height = 0;  // 0: the image's own height
  double exposure_time = 10000;
  double gain = 0;  // dB
  double gamma = 1;
  int64_t contrast = 50;

  bool operator==(const FrameLayout&) const = default;
};

// The camera's current layout: its geometry and settings; an absent
// feature counts at the value above (and no mirroring).
SIM_API FrameLayout LayoutOf(const CameraConfig& camera);

// Delivered sample at image position (row, col) of frame `frame`, at the
// format's depth (0 .. 2^bits - 1; 8 bits for RGB/BGR/RGBa/BGRa/YUV).
// `channel`: 0 for mono and Bayer; 0 R, 1 G, 2 B, 3 A for the RGB family;
// 0 Y, 1 the pixel's chroma byte (U on even columns, V on odd) for YUV.
// 0 for an unknown format.
SIM_API uint32_t DeliveredSample(const FrameLayout& layout, uint64_t frame, uint32_t row,
                                 uint32_t col, uint32_t channel);

// The exact bytes a stream delivers for frame `frame` of `layout`: rows in
// the format's memory layout, each followed by padding_x zero bytes, then
// padding_y zero bytes.  Empty for an unknown format.
SIM_API std::vector<uint8_t> RenderFrame(const FrameLayout& layout, uint64_t frame);

}  // namespace simsdk
