// The handlers a set request dispatches to, one per kind of parameter.
// Each runs on the caller's thread with the camera entry's objects_lock
// held shared, after the value's type code has been checked against the
// catalogue; it returns H_MSG_OK or the request's error code and changes
// nothing of the parameter's state when it refuses.
#pragma once

#include "base/records.h"
#include "bindings/host.h"
#include "parameters/parameter_catalogue.h"

struct SetRequest {
  Hproc_handle proc_id;
  FGInstance& fginst;
  InstanceRecord& inst;
  CameraEntry& camera;
  const CatalogueEntry& entry;
  const ParamValue* value;  // not read by the action parameters
};

// Interface settings and actions.
Herror SetInterfaceInteger(const SetRequest& request);
Herror SetInterfaceSwitch(const SetRequest& request);
Herror SetBitsPerChannel(const SetRequest& request);
Herror SetResolution(const SetRequest& request);
Herror AbortGrab(const SetRequest& request);
Herror TriggerSoftware(const SetRequest& request);
Herror SetTriggerMode(const SetRequest& request);

// The buffer arrangement of volatile mode.
Herror SetVolatile(const SetRequest& request);

// Camera features.
Herror SetBoolFeature(const SetRequest& request);
Herror SetFloatFeature(const SetRequest& request);
Herror SetIntFeature(const SetRequest& request);
Herror SetPixelFormat(const SetRequest& request);
Herror SetDeviceUserID(const SetRequest& request);

// Whether the entry's image dimension may become `size` pixels: at least
// 1, at most the sensor's `sensor_max`, and the image it makes with the
// other dimension fits the frame buffers the open allocated.
bool ImageSizeFits(const SetRequest& request, int64_t size, int64_t sensor_max);

// The stream's grabbing query answers yes.
bool StreamGrabbing(const CameraEntry& camera);
