// Process-wide state of the interface.  Static, zero at load, lives until
// the process ends.  FGInit fills it before any other operation runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "base/records.h"

// Cameras held in camera_table (the first kMaxCameras discovered); every
// walk of the table uses this count.
extern uint32_t gs_cameraCntDiscovery;
extern CameraEntry camera_table[kMaxCameras];
extern InstanceRecord inst_pool[kMaxInstances];
extern int32_t open_count;
extern FGClass* fg_class;

// Serialises open, close and the pool scan of FGOpenRequest (the host may
// call them from several threads); also guards CameraEntry::users.
extern std::mutex device_lock;

// Shared between parameter writes and the grab engine of every instance.
extern std::atomic<int32_t> stop_after_grab;
extern std::atomic<int32_t> async_grab_used;
// The last parameter FGSetParam applied was "PixelFormat", spelled exactly
// so: every grab then drops one frame first.
extern std::atomic<bool> pixel_format_set_last;
