// A set request: the name and type checks, and the dispatch to the handler
// of the parameter's kind.
//
// Lock order: the camera entry's objects_lock (shared) before the
// instance's cancel_mutex (do_abort_grab); nothing here waits for
// objects_lock while holding cancel_mutex.
#include <cstring>
#include <shared_mutex>

#include "base/interface_state.h"
#include "parameters/parameter_operations.h"
#include "parameters/parameter_setters.h"

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

void NoteSetRequest() noexcept {
  if (async_grab_used.load() == 0) stop_after_grab.store(1);
}

Herror SetParameter(Hproc_handle proc_id, const OpenInstance& open, const char* name,
                    const ParamValue* value) {
  const Lookup found = FindParameter(name);
  if (found.entry == nullptr || found.query != Query::kValue ||
      found.entry->set_kind == ValueKind::kNone) {
    return H_ERR_FGPARAM;
  }
  const CatalogueEntry& entry = *found.entry;
  if (!TypeAccepted(entry, value)) return H_ERR_FGPART;
  if (MissingText(entry, value)) return H_ERR_FGPARV;

  std::shared_lock<std::shared_mutex> objects(open.camera.objects_lock);
  const Herror err =
      Dispatch(SetRequest{proc_id, open.fginst, open.inst, open.camera, entry, value});
  if (err != H_MSG_OK) return err;
  // Only the exact spelling makes the grabs drop a frame.
  pixel_format_set_last.store(entry.id == ParamId::PixelFormat &&
                              std::strcmp(name, entry.name) == 0);
  return H_MSG_OK;
}
