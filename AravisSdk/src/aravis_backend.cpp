// The SDK's cameras: those Aravis finds, one camera object per Aravis
// device id for the life of the process.
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "aravis_camera.h"
#include "aravis_system.h"

namespace arvsdk {
namespace {

class AravisBackend final : public sdkabi::Backend {
 public:
  std::vector<sdkabi::Camera*> Discover() override {
    const std::vector<ListedDevice> devices = ListDevices();
    std::vector<AravisCamera*> listed;
    std::vector<AravisCamera*> unlisted;
    {
      std::lock_guard lock(mutex_);
      for (const ListedDevice& device : devices) listed.push_back(&CameraFor(device.id));
      for (const auto& camera : cameras_)
        if (std::find(listed.begin(), listed.end(), camera.get()) == listed.end())
          unlisted.push_back(camera.get());
    }
    // The cameras' own locks may wait for their devices: not under ours.
    for (size_t i = 0; i < listed.size(); ++i) listed[i]->Listed(devices[i]);
    for (AravisCamera* camera : unlisted) camera->Unlisted();
    return {listed.begin(), listed.end()};
  }

  sdkabi::Camera* CameraByKey(const std::string& key) override {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < ids_.size(); ++i)
      if (ids_[i] == key) return cameras_[i].get();
    return nullptr;
  }

 private:
  // Under mutex_.
  AravisCamera& CameraFor(const std::string& id) {
    for (size_t i = 0; i < ids_.size(); ++i)
      if (ids_[i] == id) return *cameras_[i];
    ids_.push_back(id);
    cameras_.push_back(std::make_unique<AravisCamera>(id));
    return *cameras_.back();
  }

  std::mutex mutex_;
  // Never shrinks: records and nodes keep raw pointers to the cameras.
  std::vector<std::string> ids_;
  std::vector<std::unique_ptr<AravisCamera>> cameras_;
};

}  // namespace
}  // namespace arvsdk

sdkabi::Backend& sdkabi::TheBackend() {
  static auto* const backend = new arvsdk::AravisBackend;
  return *backend;
}
