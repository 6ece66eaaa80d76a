// The discovery records: one GENICAM_Camera per camera per discovery.
#pragma once

#include "camera_sdk.h"
#include "sdk_abi/backend.h"

namespace sdkabi {

// The backend camera behind a discovery record, or null for a bad record.
Camera* CameraOf(const GENICAM_Camera* camera);

}  // namespace sdkabi
