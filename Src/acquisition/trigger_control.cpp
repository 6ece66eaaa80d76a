#include "trigger_control.h"

namespace {

using EnumAccessor = GENICAM_EnumNode (*)(GENICAM_AcquisitionControl*);

// The node is released before its result is judged, on success and failure
// alike; any non-zero result of the set is a failure.
bool WriteEnum(GENICAM_AcquisitionControl* ctl, EnumAccessor accessor, const char* symbol) {
  GENICAM_EnumNode node = accessor(ctl);
  const int32_t result = node.setValueBySymbol(&node, symbol);
  node.release(&node);
  return result == SDK_OK;
}

int32_t SetTriggered(GENICAM_AcquisitionControl* ctl, const char* source) {
  // The source is written before the selector.
  if (!WriteEnum(ctl, ctl->triggerSource, source)) return -1;
  if (!WriteEnum(ctl, ctl->triggerSelector, "FrameStart")) return -1;
  return WriteEnum(ctl, ctl->triggerMode, "On") ? 0 : -1;
}

}  // namespace

int32_t SetTriggerContinuous(GENICAM_AcquisitionControl* acquisition_ctl) {
  // The source keeps whatever it was.
  if (!WriteEnum(acquisition_ctl, acquisition_ctl->triggerSelector, "FrameStart")) return -1;
  return WriteEnum(acquisition_ctl, acquisition_ctl->triggerMode, "Off") ? 0 : -1;
}

int32_t SetTriggerSoftware(GENICAM_AcquisitionControl* acquisition_ctl) {
  return SetTriggered(acquisition_ctl, "Software");
}

int32_t SetTriggerLine(GENICAM_AcquisitionControl* acquisition_ctl) {
  return SetTriggered(acquisition_ctl, "Line1");
}

int32_t SendSoftwareTrigger(GENICAM_AcquisitionControl* acquisition_ctl) {
  GENICAM_CmdNode node = acquisition_ctl->triggerSoftware(acquisition_ctl);
  // A positive answer is success here, unlike the enumeration writes.
  const int32_t result = node.execute(&node);
  node.release(&node);
  return result < 0 ? -1 : 0;
}
