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

// Parses a camera set from JSON text (format in SimSdk/README.md).  On a
// malformed text returns nothing and, when `error` is given, says why.
SIM_API std::optional<std::vector<CameraConfig>> ParseCameras(const std::string& json_text,
                                                              std::string* error = nullptr);
// As ParseCameras, reading the file at `path`, and on success installs the
// set as SetCameras does.  Returns false (and leaves the set) on failure.
SIM_API bool LoadCamerasFromFile(const std::string& path, std::string* error = nullptr);

// Back to the start state: the set from the file named by the environment
// variable TERVIXMD_SIM_CONFIG, or DefaultCameras() without it (or when the
// file fails to load), installed as SetCameras does: all streams stopped,
// every camera plugged in and disconnected.
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
// A frame as the camera delivers it.  Pixel (row, col) of the delivered
// image is the sensor's pixel (reverse_y ? height-1-row : row,
// reverse_x ? width-1-col : col).

struct FrameLayout {
  std::string pixel_format;
  uint32_t width = 0;
  uint32_t height = 0;
  bool reverse_x = false;
  bool reverse_y = false;
  uint32_t padding_x = 0;
  uint32_t padding_y = 0;
};

// Sample of sensor pixel (row, col) of frame `frame` at the format's depth
// (0 .. 2^bits - 1; 8 bits for RGB/BGR/RGBa/BGRa/YUV).  `channel`: 0 for
// mono and Bayer; 0 R, 1 G, 2 B, 3 A for the RGB family (A is always 255);
// 0 Y, 1 the pixel's chroma byte (U on even columns, V on odd) for YUV.
//
//   base   = ((col * 7 + row * 13 + channel * 101) * 0x9E5) mod 2^bits
//   sample = base, except in sensor row 0 at columns 0..7, where the top 8
//            bits carry byte `col` of `frame` (little endian) and the low
//            bits keep base:  (byte << (bits - 8)) | (base mod 2^(bits-8)).
//
// So frame order and loss show in the first eight pixels of sensor row 0,
// and high-bit formats have varied low bits everywhere.  For an unknown
// format returns 0.
SIM_API uint32_t SensorSample(const std::string& pixel_format, uint64_t frame, uint32_t row,
                              uint32_t col, uint32_t channel);

// Delivered sample at image position (row, col) of `layout`: SensorSample
// of the mirrored position.
SIM_API uint32_t DeliveredSample(const FrameLayout& layout, uint64_t frame, uint32_t row,
                                 uint32_t col, uint32_t channel);

// The exact bytes a stream delivers for frame `frame` of `layout`: rows in
// the format's memory layout, each followed by padding_x zero bytes, then
// padding_y zero bytes.  Empty for an unknown format.
SIM_API std::vector<uint8_t> RenderFrame(const FrameLayout& layout, uint64_t frame);

}  // namespace simsdk
