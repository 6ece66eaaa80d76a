// Switching a camera between the three acquisition modes and sending a
// software trigger, through its acquisition control.  Each returns
// H_MSG_OK, or H_ERR_FGTRIGGER when the camera refuses; a failed switch
// leaves the writes made before the failing one.
#pragma once

#include "bindings/camera_sdk.h"
#include "bindings/host.h"

Herror SetTriggerContinuous(GENICAM_AcquisitionControl* acquisition_ctl);
Herror SetTriggerSoftware(GENICAM_AcquisitionControl* acquisition_ctl);
Herror SetTriggerLine(GENICAM_AcquisitionControl* acquisition_ctl);
Herror SendSoftwareTrigger(GENICAM_AcquisitionControl* acquisition_ctl);
