// Aravis's process-wide device list.  Aravis keeps one list for the whole
// process and rebuilds it on each update, so the list and every lookup in
// it go through these two calls, which take one lock.
#pragma once

#include <arv.h>

#include <string>
#include <vector>

namespace arvsdk {

// One device as the last list update found it; copies of Aravis's texts.
struct ListedDevice {
  std::string id;
  std::string vendor;
  std::string model;
  std::string serial;
};

// Updates the list (a network discovery: about a second) and returns it.
std::vector<ListedDevice> ListDevices();

// Opens the device with this Aravis id; null with *error set on failure.
ArvDevice* OpenDevice(const std::string& id, GError** error);

}  // namespace arvsdk
