// Starting and stopping a stream source: H_MSG_OK, or H_ERR_FGDV when the
// SDK refuses.
#pragma once

#include "bindings/camera_sdk.h"
#include "bindings/host.h"

Herror StartGrabbing(GENICAM_StreamSource* stream);
Herror StopGrabbing(GENICAM_StreamSource* stream);
