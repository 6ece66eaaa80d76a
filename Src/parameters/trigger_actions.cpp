// The trigger mode, the software trigger and the abort of a pending grab.
#include <iterator>

#include "acquisition/stream_control.h"
#include "acquisition/trigger_control.h"
#include "base/cancel_mutex.h"
#include "base/interface_state.h"
#include "base/shared_fields.h"
#include "base/text_copy.h"
#include "parameters/parameter_setters.h"

namespace {

// In the order of the mode words in the catalogue's list.
using TriggerSwitch = Herror (*)(GENICAM_AcquisitionControl*);
constexpr TriggerSwitch kTriggerSwitches[] = {SetTriggerContinuous, SetTriggerSoftware,
                                              SetTriggerLine};

}  // namespace

Herror SetTriggerMode(const SetRequest& request) {
  const int32_t position = PositionInValues(request.entry, request.value->par.s);
  if (position < 0 || position >= static_cast<int32_t>(std::size(kTriggerSwitches))) {
    return H_ERR_FGPARV;
  }
  GENICAM_AcquisitionControl* control = request.camera.acquisition_ctl;
  if (control == nullptr) return H_ERR_FGPARV;
  const Herror err = kTriggerSwitches[position](control);
  if (err != H_MSG_OK) return err;
  // The caller's spelling is what a read answers.
  CopyText(request.inst.*request.entry.storage.text, request.value->par.s);
  return H_MSG_OK;
}

Herror TriggerSoftware(const SetRequest& request) {
  GENICAM_AcquisitionControl* control = request.camera.acquisition_ctl;
  if (control == nullptr) return H_ERR_FGPARV;
  const Herror err = SendSoftwareTrigger(control);
  if (err != H_MSG_OK) return err;
  StoreShared(request.inst.grab_started, true);
  return H_MSG_OK;
}

Herror AbortGrab(const SetRequest& request) {
  InstanceRecord& inst = request.inst;
  Herror err = LockCancelMutex(inst);
  if (err > H_MSG_OK) return err;
  StoreShared(inst.grab_started, false);
  // Stopping ends a frame wait of a grab on another thread at once.
  if (GENICAM_StreamSource* stream = request.camera.stream) {
    StopGrabbing(stream);
    async_grab_used.store(0);
  }
  err = UnlockCancelMutex(inst);
  return err > H_MSG_OK ? err : H_MSG_OK;
}
