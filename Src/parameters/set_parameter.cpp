// FGSetParam: the entry steps every request takes, the type check, and the
// dispatch to the handler of the parameter's kind.
//
// Threads: any host thread, also while another thread grabs on the same
// instance.  Lock order: the camera entry's objects_lock (shared) before
// the instance's cancel_mutex (do_abort_grab); nothing here waits for
// objects_lock while holding cancel_mutex.
#include <shared_mutex>

#include "camera_table.h"
#include "interface_state.h"
#include "operations.h"
#include "parameter_setters.h"

namespace {

Herror Dispatch(const SetRequest& request) {
  switch (request.entry.handling) {
    case Handling::kInterfaceInteger:
      return SetInterfaceInteger(request);
    case Handling::kInterfaceSwitch:
      return SetInterfaceSwitch(request);
    case Handling::kVolatile:
      return SetVolatile(request);
    case Handling::kBitsPerChannel:
      return SetBitsPerChannel(request);
    case Handling::kResolution:
      return SetResolution(request);
    case Handling::kAbort:
      return AbortGrab(request);
    case Handling::kSoftwareTrigger:
      return TriggerSoftware(request);
    case Handling::kTriggerMode:
      return SetTriggerMode(request);
    case Handling::kBoolFeature:
      return SetBoolFeature(request);
    case Handling::kPixelFormat:
      return SetPixelFormat(request);
    case Handling::kDeviceUserID:
      return SetDeviceUserID(request);
    case Handling::kFloatFeature:
      return SetFloatFeature(request);
    case Handling::kIntFeature:
      return SetIntFeature(request);
    case Handling::kBufferCount:
    case Handling::kRevision:
      break;
  }
  return H_ERR_FGPARAM;
}

// The value carries the type code the parameter demands; the actions take
// any value and never read it.
bool TypeAccepted(const CatalogueEntry& entry, const ParamValue* value) {
  if (entry.set_kind == ValueKind::kAny) return true;
  return value != nullptr && value->type == static_cast<int32_t>(entry.set_kind);
}

bool MissingText(const CatalogueEntry& entry, const ParamValue* value) {
  return entry.set_kind == ValueKind::kString && value->par.s == nullptr;
}

}  // namespace

Herror FGSetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                  const ParamValue* value) noexcept {
  // Every request, refused ones too, makes the next synchronous grab stop
  // the stream, unless an asynchronous grab keeps it running.
  if (async_grab_used.load() == 0) stop_after_grab.store(1);

  CameraEntry* camera = FindCameraEntry(fginst);
  if (camera == nullptr || fginst->inst_data == nullptr) return H_ERR_FGPARV;

  const Lookup found = FindParameter(name);
  if (found.entry == nullptr || found.query != Query::kValue ||
      found.entry->set_kind == ValueKind::kNone) {
    return H_ERR_FGPARAM;
  }
  if (!TypeAccepted(*found.entry, value)) return H_ERR_FGPART;
  if (MissingText(*found.entry, value)) return H_ERR_FGPARV;

  std::shared_lock<std::shared_mutex> objects(camera->objects_lock);
  const Herror err =
      Dispatch(SetRequest{proc_id, *fginst, *fginst->inst_data, *camera, *found.entry, value});
  if (err != H_MSG_OK) return err;
  last_set_param.Set(name);  // as the caller spelled it
  return H_MSG_OK;
}
