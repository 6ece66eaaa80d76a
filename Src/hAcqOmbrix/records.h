// The interface's own records: one InstanceRecord per possible instance,
// one BoardRecord per successful open, one CameraEntry per discovered camera.
// Fields keep the order the host template gives them; fields read by one
// thread while another writes them are accessed through std::atomic_ref.
#pragma once

#include <cstdint>
#include <shared_mutex>

#include "camera_sdk.h"
#include "host.h"

inline constexpr int kMaxInstances = 256;
inline constexpr int kMaxCameras = 100;
inline constexpr int kMaxBuffers = 5;
inline constexpr int kTextLen = 1024;          // names, keys, devices, feature texts
inline constexpr int kPixelFormatNameLen = 256;
inline constexpr int kMaxPixelFormats = 256;

// Wall-clock time stamp of an asynchronous grab start.
struct TimeStamp {
  int64_t seconds;        // since 1970
  uint16_t milliseconds;
  int16_t timezone_minutes;
  int16_t dst_flag;
};

// Frame buffers of one open; from the host allocator, zero-filled.
struct BoardRecord {
  char device[kTextLen];
  uint8_t* BoardFrameBuffer[kMaxBuffers];
  int32_t buffer_size;    // bytes of each board buffer; 0 while none
  int32_t buffer_users;   // instances whose InstFrameBuffer are these buffers
  int32_t open_on_board;  // instances open on this board
};

struct InstanceRecord {
  Hmutex cancel_mutex;
  BoardRecord* board;  // null: the record is free
  bool grab_started;
  int32_t pool_index;
  int64_t async_max_delay;  // ms
  int32_t next_buffer;
  TimeStamp async_start_time;
  uint8_t* InstFrameBuffer[kMaxBuffers];
  bool own_buffers;
  bool volatile_mode;
  int64_t grab_timeout;
  int32_t num_buffers;
  bool start_async_after_grab_async;
  char TriggerMode[kTextLen];
  char DeviceUserID[kTextLen];
  double ExposureTime;
  double AcquisitionFrameRate;
  int32_t AcquisitionFrameRateEnable;
  double GainRaw;
  int64_t Contrast;
  int32_t ReverseX;
  int32_t ReverseY;
  int32_t pixel_format_index;
  char pixel_formats[kMaxPixelFormats][kPixelFormatNameLen];
  int32_t pixel_format_count;
  int64_t Width;
  int64_t Height;
  double Gamma;
  char effective_color_space[kTextLen];
  // Bytes of each InstFrameBuffer entry as the open allocated them; fixed
  // from then on (the volatile switch moves the buffers but keeps them), so
  // the grab engine bounds every buffer write by it.
  int32_t frame_buffer_size;
};

// One discovered camera and the SDK objects opens create for it.  The
// objects are shared by every instance open on the camera: `users` counts
// those instances (changed only under the device lock), and the objects are
// released when the last of them closes.  Every use of stream or a control
// holds objects_lock shared; creating, replacing or releasing them holds it
// exclusively, so no thread ever calls into a released object.
struct CameraEntry {
  char name[kTextLen];  // as the SDK gives it; all zero when empty
  char key[kTextLen];   // without spaces
  GENICAM_Camera* camera;
  GENICAM_StreamSource* stream;
  GENICAM_AcquisitionControl* acquisition_ctl;
  GENICAM_ImageFormatControl* image_format_ctl;
  GENICAM_AnalogControl* analog_ctl;
  GENICAM_ISPControl* isp_ctl;
  GENICAM_UserSetControl* user_set_ctl;
  GENICAM_DeviceControl* dev_ctl;
  int32_t users;
  std::shared_mutex objects_lock;
};
