// Which camera SDK the interface binds, chosen with --sdk: the simulator
// (the default), Aravis, or an SDK library named by its path.  The choice
// travels in the environment variable that the interface reads when it
// first binds the SDK, so it must be made before the interface is loaded.
#pragma once

#include <string>

inline constexpr char kSdkVariable[] = "HACQ_CAMERA_SDK";

// "sim", "aravis" or a path; only an empty value is refused (*error).
bool ChooseSdk(const std::string& choice, std::string* error);

// Whether the simulator is the SDK: the variable unset, empty or "sim".
bool SimulatorChosen();
