// One camera that Aravis found, as the SDK's backend sees it.
//
// Locks: `mutex_` serialises every Aravis call on the camera's device
// (Aravis's feature tree has no locks of its own) and guards the device,
// its streams and the grabbing state.  `info_mutex_` guards the identity
// and the cache of node kinds, and `signals_mutex_` the frame signals that
// a loss of the camera wakes; neither is held across an Aravis call.
// Order: mutex_, then a stream's own lock.
#pragma once

#include <arv.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "aravis_system.h"
#include "node_kind.h"
#include "sdk_abi/backend.h"

namespace arvsdk {

struct StreamCore;

class AravisCamera final : public sdkabi::Camera {
 public:
  explicit AravisCamera(std::string id) : id_(std::move(id)) {}

  // A discovery listed the camera (with these texts), or did not.
  void Listed(const ListedDevice& device);
  void Unlisted() { listed_ = false; }

  sdkabi::CameraIdentity Identity() override;
  sdkabi::CameraState State() override;
  bool Connect() override;
  bool Disconnect() override;
  bool IsGrabbing() override { return grabbing_; }
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

  // For the camera's stream.  Runs `use(device, &error)` under mutex_ while
  // the camera is connected; false when it is not, when `use` answers
  // false, or when it set the error (a loss of the camera is noted then).
  template <typename Use>
  bool WithDevice(Use use) {
    std::lock_guard lock(mutex_);
    if (!UsableLocked()) return false;
    GError* error = nullptr;
    const bool ok = use(device_, &error);
    return SettleLocked(error) && ok;
  }
  // Under mutex_ (inside WithDevice): the stream started or stopped.
  void NoteGrabbingLocked(bool grabbing) { grabbing_ = grabbing; }
  bool Lost() const { return lost_; }
  // The stream's record goes: it leaves the camera.
  void Forget(StreamCore& core);

 private:
  // All under mutex_.
  bool UsableLocked();
  bool SettleLocked(GError* error);
  // Stops and detaches the streams, lets the device go and hands every
  // Aravis object so released to the caller, to unref.
  std::vector<gpointer> ReleaseDeviceLocked();
  void ReleaseLostDeviceLocked();

  NodeKind KindOfFeature(const char* name);
  // Runs `op(device, &error)` for a feature of kind `kind` (NodeKind
  // Missing: any kind), under mutex_; as WithDevice.
  template <typename Op>
  bool Access(const char* name, NodeKind kind, Op op);

  static void OnControlLost(ArvDevice* device, gpointer self);
  void WakeStreams();

  const std::string id_;

  std::mutex mutex_;
  ArvDevice* device_ = nullptr;
  gulong lost_handler_ = 0;
  StreamCore* stream_ = nullptr;  // channel 0 has one receiver
  uint64_t dropped_before_ = 0;   // by streams that are gone

  std::atomic<bool> connected_{false};
  std::atomic<bool> listed_{false};
  std::atomic<bool> lost_{false};  // set from any thread; device_ let go under mutex_
  std::atomic<bool> grabbing_{false};

  std::mutex info_mutex_;
  sdkabi::CameraIdentity identity_;
  std::unordered_map<std::string, NodeKind> kinds_;

  std::mutex signals_mutex_;
  std::shared_ptr<sdkabi::FrameSignal> signal_;  // of stream_
};

}  // namespace arvsdk
