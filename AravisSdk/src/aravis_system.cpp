#include "aravis_system.h"

#include <mutex>

namespace arvsdk {
namespace {

std::mutex& SystemLock() {
  static std::mutex* const lock = new std::mutex;
  return *lock;
}

std::string Text(const char* text) {
  return text ? text : "";
}

}  // namespace

std::vector<ListedDevice> ListDevices() {
  std::lock_guard lock(SystemLock());
  arv_update_device_list();
  std::vector<ListedDevice> devices;
  const unsigned count = arv_get_n_devices();
  for (unsigned i = 0; i < count; ++i) {
    const char* id = arv_get_device_id(i);
    if (!id) continue;
    devices.push_back({id, Text(arv_get_device_vendor(i)), Text(arv_get_device_model(i)),
                       Text(arv_get_device_serial_nbr(i))});
  }
  return devices;
}

ArvDevice* OpenDevice(const std::string& id, GError** error) {
  std::lock_guard lock(SystemLock());
  return arv_open_device(id.c_str(), error);
}

}  // namespace arvsdk
