// A minimal acquisition interface for testing the host driver apart from
// the real one.  Tests select its behaviour through device strings and
// parameter names:
//   device "refuse"          OpenRequest gives no slot
//   device "stray_slot"      OpenRequest gives a slot outside the host's table
//   device "fail"            Open allocates, frees again and fails with H_ERR_FGDV
//   "frame" (int)            stored and read back
//   "generic"                echoes the host's generic list
//   "too_many", "bad_type"   answers that break the driver's contract
// Info answers query 0 with no values, 3 with the host's defaults and 99
// with values that are no host block.
#include <cstring>
#include <string>

#include "host.h"

// A host block, so that open and close show in the host's accounting.
struct InstanceRecord {
  int64_t frame;
};

namespace {

FGInstance* stray_slot = nullptr;
FGClass* registered_class = nullptr;
ParamValue not_a_host_block[1] = {};

bool DeviceIs(const FGInstance* fginst, const char* name) {
  return std::strncmp(fginst->device, name, FG_STRING_LEN) == 0;
}

FGInstance** OpenRequest(Hproc_handle, FGInstance* fginst) {
  if (DeviceIs(fginst, "refuse")) return nullptr;
  if (DeviceIs(fginst, "stray_slot")) return &stray_slot;
  for (FGInstance*& slot : fginst->fgclass->instance) {
    if (slot == nullptr) return &slot;
  }
  return nullptr;
}

Herror Open(Hproc_handle proc_id, FGInstance* fginst) {
  void* block = nullptr;
  if (const Herror status = HXAlloc(proc_id, sizeof(InstanceRecord), &block); status != H_MSG_OK) {
    return status;
  }
  if (DeviceIs(fginst, "fail")) {
    HXFree(proc_id, block);
    return H_ERR_FGDV;
  }
  fginst->inst_data = static_cast<InstanceRecord*>(block);
  fginst->inst_data->frame = 0;
  return H_MSG_OK;
}

Herror Close(Hproc_handle proc_id, FGInstance* fginst) {
  const Herror status = HXFree(proc_id, fginst->inst_data);
  if (status == H_MSG_OK) fginst->inst_data = nullptr;
  return status;
}

Herror SetParam(Hproc_handle, FGInstance* fginst, const char* name, const ParamValue* value) {
  if (std::string(name) != "frame") return H_ERR_FGPARAM;
  if (value->type != PV_INTEGER) return H_ERR_FGPART;
  fginst->inst_data->frame = value->par.l;
  return H_MSG_OK;
}

Herror GetParam(Hproc_handle, FGInstance* fginst, const char* name, ParamValue* value,
                int32_t* num_value) {
  const std::string param(name);
  *num_value = 1;
  if (param == "frame") {
    value[0] = {{.l = fginst->inst_data->frame}, PV_INTEGER};
  } else if (param == "generic") {
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

// One 2 x 2 gray image that stays the plug-in's (a view for the host).
Herror Grab(Hproc_handle, FGInstance*, Himage* image, int32_t* num_image) {
  static uint8_t pixels[4] = {1, 2, 3, 4};
  image[0].kind = HIMAGE_BYTE;
  image[0].width = 2;
  image[0].height = 2;
  image[0].pixel.b = pixels;
  *num_image = 1;
  return H_MSG_OK;
}

}  // namespace

extern "C" HOST_API Herror FGInit(Hproc_handle, FGClass* fg) {
  registered_class = fg;
  fg->revision_number = 5;
  fg->available = true;
  fg->instances_max = FG_MAX_INST;
  fg->OpenRequest = OpenRequest;
  fg->Open = Open;
  fg->Close = Close;
  fg->Info = Info;
  fg->Grab = Grab;
  fg->SetParam = SetParam;
  fg->GetParam = GetParam;
  // The driver clears the record first: only the defaults the tests read.
  fg->horizontal_resolution = 1;
  fg->field = 4;
  fg->gain = 1.0f;
  std::strcpy(fg->camera_type, "auto");
  std::strcpy(fg->device, "0");
  return H_MSG_OK;
}
