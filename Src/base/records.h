// The interface's own records: one InstanceRecord per possible instance,
// one BoardRecord per successful open, one CameraEntry per discovered camera.
// Fields read by one thread while another writes them are accessed through
// std::atomic_ref (base/shared_fields.h).
#pragma once

#include <cstdint>
#include <shared_mutex>

#include "bindings/camera_sdk.h"
#include "bindings/host.h"

inline constexpr int kMaxInstances = 256;
inline constexpr int kMaxCameras = 100;
inline constexpr int kMaxBuffers = 5;
inline constexpr int kTextLen = 1024;  // names, keys, devices, feature texts
inline constexpr int kPixelFormatNameLen = 256;
inline constexpr int kMaxPixelFormats = 256;

// Wall-clock time stamp of an asynchronous grab start.
struct TimeStamp {
  int64_t seconds;  // since 1970
  uint16_t milliseconds;
};

// What one open takes from the host allocator besides its frame buffers;
// zero-filled.  A record holding one is taken.
struct BoardRecord {
  char device[kTextLen];  // the device string of the open, for the duplicate check
};

struct CameraEntry;

// Written by open and close under device_lock; the host runs no other
// operation of an instance while it opens or closes it.
struct InstanceRecord {
  Hmutex cancel_mutex;
  BoardRecord* board;  // null: the record is free
  // The camera the instance uses, from a successful open to the start of
  // its close.  A record with a board but no camera is one whose close
  // failed part-way: only a close may touch it.
  CameraEntry* camera;
  bool grab_started;
  int32_t pool_index;
  int64_t async_max_delay;  // ms
  int32_t next_buffer;
  TimeStamp async_start_time;
  // The ring of frame buffers, frame_buffer_size bytes each, sized at open
  // for the camera's largest image and freed at close.  Volatile mode hands
  // them to the host as they are.
  uint8_t* InstFrameBuffer[kMaxBuffers];
  int32_t frame_buffer_size;
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
};

// One discovered camera and the SDK objects opens create for it.  The
// objects are shared by every instance open on the camera: `users` counts
// those instances (changed only under device_lock), and the objects are
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

// An open instance as the operations get it: the host's record, the
// interface's record and the camera it uses.
struct OpenInstance {
  FGInstance& fginst;
  InstanceRecord& inst;
  CameraEntry& camera;
};
