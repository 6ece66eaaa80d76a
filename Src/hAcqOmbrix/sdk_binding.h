// The camera SDK's entry points, bound by name through the platform seam.
#pragma once

#include "camera_sdk.h"

inline constexpr char kSdkLibraryName[] = "Tervixmd.dll";

// Entry points bound once per process, at the first call of BindSdk
// (FGInit, or a listing export before it).  A member is null when the
// library or the symbol is missing; callers never call a null member.
struct SdkEntryPoints {
  GENICAM_getSystemInstance_fn getSystemInstance;
  GENICAM_createStreamSource_fn createStreamSource;
  GENICAM_createEnumNode_fn createEnumNode;
  GENICAM_createStringNode_fn createStringNode;
};

// Loads the SDK library into sdk_module and binds the entry points above.
// Thread-safe; later calls return the first result.
const SdkEntryPoints& BindSdk();
