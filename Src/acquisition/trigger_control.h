// Switching a camera between the three acquisition modes and sending a
// software trigger, through its acquisition control.  Each returns 0 on
// success and -1 on failure; a failed switch leaves the writes made before
// the failing one.
#pragma once

#include <cstdint>

#include "camera_sdk.h"

int32_t SetTriggerContinuous(GENICAM_AcquisitionControl* acquisition_ctl);
int32_t SetTriggerSoftware(GENICAM_AcquisitionControl* acquisition_ctl);
int32_t SetTriggerLine(GENICAM_AcquisitionControl* acquisition_ctl);
int32_t SendSoftwareTrigger(GENICAM_AcquisitionControl* acquisition_ctl);
