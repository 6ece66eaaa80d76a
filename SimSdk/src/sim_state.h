// The simulator's state: the camera set and the cameras' streams, behind
// the SDK backend interface.  One mutex (Sim::mutex) guards all of it;
// every backend call and test-control call takes it, and nothing slow
// (frame rendering) runs while it is held.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "feature_table.h"
#include "sdk_abi/backend.h"
#include "sim_control.h"

namespace simsdk {

struct StreamImpl;

class SimCamera final : public sdkabi::Camera {
 public:
  explicit SimCamera(CameraConfig camera_config) : config(std::move(camera_config)) {}

  // Guarded by TheSim().mutex.
  CameraConfig config;  // identity, current feature values and limits
  bool plugged = true;
  bool retired = false;  // belongs to a replaced camera set
  bool connected = false;
  uint64_t frames_dropped = 0;
  std::vector<StreamImpl*> streams;  // live stream objects of this camera

  bool Present() const { return plugged && !retired; }
  bool Ready() const { return Present() && connected; }

  // The backend interface; each call takes TheSim().mutex.
  sdkabi::CameraIdentity Identity() override;
  sdkabi::CameraState State() override;
  bool Connect() override;
  bool Disconnect() override;
  bool IsGrabbing() override;
  uint64_t FramesDropped() override;
  std::unique_ptr<sdkabi::Stream> OpenStream(std::shared_ptr<sdkabi::FrameSignal> signal) override;
  bool HasFeature(const char* name, sdkabi::FeatureKind kind) override;
  bool ReadInt(const char* name, sdkabi::NumberPart part, int64_t& value) override;
  bool ReadFloat(const char* name, sdkabi::NumberPart part, double& value) override;
  bool ReadBool(const char* name, bool& value) override;
  bool ReadEnum(const char* name, std::string& symbol) override;
  bool ReadEnumSymbols(const char* name, std::vector<std::string>& symbols) override;
  bool ReadString(const char* name, std::string& value) override;
  bool WriteInt(const char* name, int64_t value) override;
  bool WriteFloat(const char* name, double value) override;
  bool WriteBool(const char* name, bool value) override;
  bool WriteEnum(const char* name, const std::string& symbol) override;
  bool WriteString(const char* name, const std::string& value) override;
  bool Execute(const char* name) override;

 private:
  template <typename Record, typename Take>
  bool Read(const char* name, FeatureType type, Take take);
  template <typename Record, typename Apply>
  bool Write(const char* name, FeatureType type, Apply apply);
};

class Sim final : public sdkabi::Backend {
 public:
  std::mutex mutex;
  // Camera states are never destroyed, so SDK objects may keep raw
  // pointers to them: a replaced set moves to `retired` and fails.
  std::vector<std::unique_ptr<SimCamera>> cameras;
  std::vector<std::unique_ptr<SimCamera>> retired;

  // The backend interface; each call takes the mutex.
  std::vector<sdkabi::Camera*> Discover() override;
  sdkabi::Camera* CameraByKey(const std::string& key) override;
};

// The process's simulator, set up from TERVIXMD_SIM_CONFIG or the defaults
// on first use and never destroyed (SDK objects may outlive static
// destruction order).
Sim& TheSim();

// Callers hold TheSim().mutex for all of the following.

// Null when no camera of the current set has this key.
SimCamera* FindCamera(Sim& sim, std::string_view key);

// Installs a camera set: earlier cameras retire (streams stopped), faults
// are cleared.
void InstallCameras(Sim& sim, const std::vector<CameraConfig>& cameras);

}  // namespace simsdk
