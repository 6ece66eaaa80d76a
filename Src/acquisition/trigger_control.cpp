#include "acquisition/trigger_control.h"

#include "base/contract_texts.h"

namespace {

using EnumAccessor = GENICAM_EnumNode (*)(GENICAM_AcquisitionControl*);

// The node is released before its result is judged, on success and failure
// alike; any non-zero result of the set is a refusal.
Herror WriteEnum(GENICAM_AcquisitionControl* ctl, EnumAccessor accessor, const char* symbol) {
  GENICAM_EnumNode node = accessor(ctl);
  const int32_t result = node.setValueBySymbol(&node, symbol);
  node.release(&node);
  return result == SDK_OK ? H_MSG_OK : H_ERR_FGTRIGGER;
}

Herror SetTriggered(GENICAM_AcquisitionControl* ctl, const char* source) {
  // The source is written before the selector.
  Herror err = WriteEnum(ctl, ctl->triggerSource, source);
  if (err == H_MSG_OK) err = WriteEnum(ctl, ctl->triggerSelector, contract::kSymbolFrameStart);
  if (err == H_MSG_OK) err = WriteEnum(ctl, ctl->triggerMode, contract::kSymbolOn);
  return err;
}

}  // namespace

Herror SetTriggerContinuous(GENICAM_AcquisitionControl* acquisition_ctl) {
  // The source keeps whatever it was.
  const Herror err =
      WriteEnum(acquisition_ctl, acquisition_ctl->triggerSelector, contract::kSymbolFrameStart);
  if (err != H_MSG_OK) return err;
  return WriteEnum(acquisition_ctl, acquisition_ctl->triggerMode, contract::kSymbolOff);
}

Herror SetTriggerSoftware(GENICAM_AcquisitionControl* acquisition_ctl) {
  return SetTriggered(acquisition_ctl, contract::kSymbolSoftware);
}

Herror SetTriggerLine(GENICAM_AcquisitionControl* acquisition_ctl) {
  return SetTriggered(acquisition_ctl, contract::kSymbolLine1);
}

Herror SendSoftwareTrigger(GENICAM_AcquisitionControl* acquisition_ctl) {
  GENICAM_CmdNode node = acquisition_ctl->triggerSoftware(acquisition_ctl);
  // A positive answer is success here, unlike the enumeration writes.
  const int32_t result = node.execute(&node);
  node.release(&node);
  return result < 0 ? H_ERR_FGTRIGGER : H_MSG_OK;
}
