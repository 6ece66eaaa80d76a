// Reading a camera's current settings into an instance record at open.
#pragma once

#include <cstdint>

#include "base/records.h"
#include "bindings/host.h"

// The four sizes open takes from the Width and Height features; a read
// that fails leaves its value 0.
struct SensorSize {
  int64_t width;
  int64_t width_max;
  int64_t height;
  int64_t height_max;
};

// Reads sizes, reverse flags, the pixel-format list and current format,
// exposure, frame rate, gain, contrast, trigger state, DeviceUserID and
// gamma into `inst`, works out inst.effective_color_space from
// fginst.color_space, and sets automatic exposure and "ContrastMode" to
// "Off".  SDK results are not judged: a value whose read fails keeps what
// it held.  The entry holds every control object; the caller holds
// device_lock, and the reads hold the entry's objects_lock shared.
SensorSize ReadCameraState(CameraEntry& entry, const FGInstance& fginst, InstanceRecord& inst);
