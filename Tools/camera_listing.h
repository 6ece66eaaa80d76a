// The cameras as the interface's listing exports report them; these keep a
// camera list of their own, apart from the table the interface registered.
#pragma once

#include <string>
#include <vector>

#include "hostlayer/host_driver.h"

struct CameraIdentity {
  std::string key;  // without spaces: the device string that opens it
  std::string name;
  std::string model;
  std::string serial;
  std::string vendor;
};

// Runs a discovery and reads each camera's identity; false with *error on a
// missing export or a failed discovery.
bool ListCameras(const hostlayer::Driver& driver, std::vector<CameraIdentity>* cameras,
                 std::string* error);

// The key of the camera that `device` opens, chosen as the interface
// chooses: "default" and "0" the first camera, else the first whose key, or
// name without spaces, equals it ignoring letter case.  Empty when the
// listing has no such camera.
std::string CameraKeyFor(const hostlayer::Driver& driver, const std::string& device);
