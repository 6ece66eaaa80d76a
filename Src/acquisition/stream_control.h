// Starting and stopping a stream source: 0 on success, -1 on failure.
#pragma once

#include <cstdint>

#include "camera_sdk.h"

int32_t StartGrabbing(GENICAM_StreamSource* stream);
int32_t StopGrabbing(GENICAM_StreamSource* stream);
