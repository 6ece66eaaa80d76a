// The camera SDK's entry points, bound by name through the platform seam.
#pragma once

#include "bindings/camera_sdk.h"

// The environment variable that chooses the SDK library, read once, at the
// first BindSdk: unset, empty or "sim" for the simulator's library
// (contract::kSdkLibrary), "aravis" for the Aravis SDK (TervixmdAravis.dll,
// on Linux libTervixmdAravis.so, found as the simulator's is), anything
// else for the path of a library.  A chosen library that cannot be loaded,
// or lacks one of the SDK's entry points, binds nothing, as a missing SDK,
// and a line on standard error names it.
inline constexpr char kSdkChoiceVariable[] = "HACQ_CAMERA_SDK";

// Every entry point the interface calls, bound once per process at the
// first call of BindSdk (FGInit, or a listing export before it).  A member
// is null when the library or the symbol is missing; callers never call a
// null member.
struct SdkEntryPoints {
  bool library_loaded;
  GENICAM_getSystemInstance_fn getSystemInstance;
  GENICAM_createStreamSource_fn createStreamSource;
  GENICAM_createEnumNode_fn createEnumNode;
  GENICAM_createStringNode_fn createStringNode;
  GENICAM_createAcquisitionControl_fn createAcquisitionControl;
  GENICAM_createImageFormatControl_fn createImageFormatControl;
  GENICAM_createAnalogControl_fn createAnalogControl;
  GENICAM_createISPControl_fn createISPControl;
  GENICAM_createUserSetControl_fn createUserSetControl;
  GENICAM_createDeviceControl_fn createDeviceControl;
};

// Loads the SDK library (never unloaded) and binds the entry points above.
// Thread-safe; later calls return the first result.
const SdkEntryPoints& BindSdk();
