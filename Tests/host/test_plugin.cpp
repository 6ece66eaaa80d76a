// A minimal acquisition interface for testing the host driver before (and
// independently of) the real one.  It fills the operation table with simple
// operations whose behaviour tests select through device strings and
// parameters:
//   device "refuse"       OpenRequest gives no slot
//   device "stray_slot"   OpenRequest gives a slot outside the host's table
//   device "fail"         Open allocates, frees again and fails with 5302
//   "frame" (int)         first pixel value of the next frame
//   "block_grab" (int)    1: the grab waits (at most 5 s) for do_abort_grab
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>

#include "host.h"

struct InstanceRecord {
  void* board = nullptr;  // a host block, to make open/close visible in the accounting
  int64_t frame = 0;
  std::mutex wait_lock;
  std::condition_variable wake;
  bool block_grab = false;
  bool abort = false;
  bool waiting = false;
};

namespace {

constexpr int32_t kFallbackWidth = 8;
constexpr int32_t kFallbackHeight = 4;
FGInstance* stray_slot = nullptr;
FGClass* registered_class = nullptr;
ParamValue not_a_host_block[1] = {};

bool DeviceIs(const FGInstance* fginst, const char* name) {
  return std::strncmp(fginst->device, name, FG_STRING_LEN) == 0;
}

FGInstance** OpenRequest(Hproc_handle, FGInstance* fginst) {
  if (DeviceIs(fginst, "refuse")) return nullptr;
  if (DeviceIs(fginst, "stray_slot")) return &stray_slot;
  FGClass* fg = fginst->fgclass;
  for (int k = 0; k < FG_MAX_INST; ++k) {
    if (fg->instance[k] == nullptr) return &fg->instance[k];
  }
  return nullptr;
}

Herror Open(Hproc_handle proc_id, FGInstance* fginst) {
  void* board = nullptr;
  if (const Herror status = HXAlloc(proc_id, 64, &board); status != H_MSG_OK) return status;
  if (DeviceIs(fginst, "fail")) {
    HXFree(proc_id, board);
    return H_ERR_FGDV;
  }
  auto* record = new InstanceRecord;
  record->board = board;
  if (fginst->image_width == 0) fginst->image_width = kFallbackWidth;
  if (fginst->image_height == 0) fginst->image_height = kFallbackHeight;
  fginst->num_channels = std::strncmp(fginst->color_space, "rgb", FG_STRING_LEN) == 0 ? 3 : 1;
  fginst->inst_data = record;
  return H_MSG_OK;
}

Herror Close(Hproc_handle proc_id, FGInstance* fginst) {
  InstanceRecord* record = fginst->inst_data;
  const Herror status = HXFree(proc_id, record->board);
  if (status != H_MSG_OK) return status;
  delete record;
  fginst->inst_data = nullptr;
  return H_MSG_OK;
}

// Waits for do_abort_grab when asked to; 5306 when aborted.
Herror WaitIfBlocked(InstanceRecord* record) {
  std::unique_lock lock(record->wait_lock);
  if (!record->block_grab) return H_MSG_OK;
  record->waiting = true;
  const bool aborted =
      record->wake.wait_for(lock, std::chrono::seconds(5), [&] { return record->abort; });
  record->waiting = false;
  record->abort = false;
  return aborted ? H_ERR_FGTIMEOUT : H_ERR_FGDV;
}

Herror Grab(Hproc_handle proc_id, FGInstance* fginst, Himage* image, int32_t* num_image) {
  InstanceRecord* record = fginst->inst_data;
  if (const Herror status = WaitIfBlocked(record); status != H_MSG_OK) return status;
  const int32_t width = fginst->image_width;
  const int32_t height = fginst->image_height;
  for (int32_t c = 0; c < fginst->num_channels; ++c) {
    const Herror status = HNewImage(proc_id, &image[c], HIMAGE_BYTE, width, height);
    if (status != H_MSG_OK) return status;
    for (int32_t i = 0; i < width * height; ++i) {
      image[c].pixel.b[i] = static_cast<uint8_t>(record->frame + i + 50 * c);
    }
  }
  ++record->frame;
  *num_image = fginst->num_channels;
  return H_MSG_OK;
}

Herror GrabStartAsync(Hproc_handle, FGInstance* fginst, double) {
  fginst->async_grab = true;
  return H_MSG_OK;
}

Herror GrabAsync(Hproc_handle proc_id, FGInstance* fginst, double, Himage* image,
                 int32_t* num_image) {
  fginst->async_grab = false;
  return Grab(proc_id, fginst, image, num_image);
}

Herror GrabData(Hproc_handle, FGInstance*, void*, void*, void*, void*) {
  return H_ERR_FGNOTSUP;
}

Herror GrabDataAsync(Hproc_handle, FGInstance*, double, void*, void*, void*, void*) {
  return H_ERR_FGNOTSUP;
}

Herror SetParam(Hproc_handle, FGInstance* fginst, const char* name, const ParamValue* value) {
  InstanceRecord* record = fginst->inst_data;
  const std::string param(name);
  if (param == "do_abort_grab") {
    std::lock_guard lock(record->wait_lock);
    record->abort = true;
    record->wake.notify_all();
    return H_MSG_OK;
  }
  const int32_t type = value->type;
  if (param == "frame" && type == PV_INTEGER) {
    record->frame = value->par.l;
  } else if (param == "block_grab" && type == PV_INTEGER) {
    std::lock_guard lock(record->wait_lock);
    record->block_grab = value->par.l != 0;
  } else if (param == "frame" || param == "block_grab") {
    return H_ERR_FGPART;
  } else {
    return H_ERR_FGPARAM;
  }
  return H_MSG_OK;
}

Herror GetParam(Hproc_handle, FGInstance* fginst, const char* name, ParamValue* value,
                int32_t* num_value) {
  InstanceRecord* record = fginst->inst_data;
  const std::string param(name);
  *num_value = 1;
  if (param == "frame") {
    value[0] = {{.l = record->frame}, PV_INTEGER};
  } else if (param == "grab_waiting") {
    std::lock_guard lock(record->wait_lock);
    value[0] = {{.l = record->waiting ? 1 : 0}, PV_INTEGER};
  } else if (param == "generic") {  // echoes the host's generic list
    for (int32_t i = 0; i < fginst->num_generic; ++i) value[i] = fginst->generic[i];
    *num_value = fginst->num_generic;
  } else if (param == "too_many") {
    *num_value = FG_MAX_INST + 1;
  } else if (param == "bad_type") {
    value[0] = {{.l = 0}, 8};
  } else {
    return H_ERR_FGPARAM;
  }
  return H_MSG_OK;
}

Herror Info(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
            int32_t* num_values) {
  *values = nullptr;
  *num_values = 0;
  switch (query) {
    case 0:
      *info = "test plug-in";
      return H_MSG_OK;
    case 3:
      *info = "defaults";
      return HFgGetDefaults(proc_id, registered_class, values, num_values);
    case 99:
      *info = "static values";
      *values = not_a_host_block;
      *num_values = 1;
      return H_MSG_OK;
    default:
      return H_ERR_FGPARAM;
  }
}

}  // namespace

extern "C" HOST_API Herror FGInit(Hproc_handle, FGClass* fg) {
  registered_class = fg;
  fg->revision_number = 5;
  fg->available = true;
  fg->instances_num = 0;
  fg->instances_max = FG_MAX_INST;
  fg->OpenRequest = OpenRequest;
  fg->Open = Open;
  fg->Close = Close;
  fg->Grab = Grab;
  fg->GrabStartAsync = GrabStartAsync;
  fg->GrabAsync = GrabAsync;
  fg->GrabData = GrabData;
  fg->GrabDataAsync = GrabDataAsync;
  fg->Info = Info;
  fg->SetParam = SetParam;
  fg->GetParam = GetParam;
  fg->horizontal_resolution = 1;
  fg->vertical_resolution = 1;
  fg->image_width = 0;
  fg->image_height = 0;
  fg->start_row = 0;
  fg->start_column = 0;
  fg->field = 4;
  fg->bits_per_channel = 8;
  std::strcpy(fg->color_space, "default");
  fg->gain = 1.0f;
  fg->external_trigger = false;
  std::strcpy(fg->camera_type, "auto");
  std::strcpy(fg->device, "0");
  fg->port = 0;
  fg->line_in = 0;
  return H_MSG_OK;
}
