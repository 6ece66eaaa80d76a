// A camera's connection, state and streams.  Its features are in
// camera_features.cpp.
#include "aravis_camera.h"

#include "aravis_stream.h"
#include "object_reaper.h"

namespace arvsdk {
namespace {

// Errors after which the device no longer answers: it is taken as lost.
bool MeansLoss(const GError* error) {
  return error->domain == ARV_DEVICE_ERROR && (error->code == ARV_DEVICE_ERROR_TIMEOUT ||
                                               error->code == ARV_DEVICE_ERROR_NOT_CONNECTED ||
                                               error->code == ARV_DEVICE_ERROR_TRANSFER_ERROR);
}

void UnrefAll(const std::vector<gpointer>& objects) {
  for (gpointer object : objects) g_object_unref(object);
}

}  // namespace

void AravisCamera::Listed(const ListedDevice& device) {
  {
    std::lock_guard lock(mutex_);
    // A camera that answers again after a loss may be connected anew.
    if (lost_) {
      ReleaseLostDeviceLocked();
      lost_ = false;
    }
  }
  {
    std::lock_guard lock(info_mutex_);
    identity_.key = id_;
    identity_.vendor = device.vendor;
    identity_.model = device.model;
    identity_.serial = device.serial;
  }
  listed_ = true;
}

sdkabi::CameraIdentity AravisCamera::Identity() {
  std::lock_guard lock(info_mutex_);
  return identity_;
}

sdkabi::CameraState AravisCamera::State() {
  if (lost_) return sdkabi::CameraState::Gone;
  if (connected_) return sdkabi::CameraState::Connected;
  return listed_ ? sdkabi::CameraState::Disconnected : sdkabi::CameraState::Gone;
}

bool AravisCamera::Connect() {
  std::lock_guard lock(mutex_);
  if (lost_) return false;
  if (connected_) return true;
  GError* error = nullptr;
  ArvDevice* device = OpenDevice(id_, &error);
  g_clear_error(&error);
  if (!device) return false;
  // Aravis lets values outside a feature's range and writes to read-only
  // features through unless asked to check.
  arv_device_set_range_check_policy(device, ARV_RANGE_CHECK_POLICY_ENABLE);
  arv_device_set_access_check_policy(device, ARV_ACCESS_CHECK_POLICY_ENABLE);
  lost_handler_ = g_signal_connect(device, "control-lost", G_CALLBACK(&OnControlLost), this);
  device_ = device;
  {
    std::lock_guard info(info_mutex_);
    kinds_.clear();
  }
  connected_ = true;
  // The user-defined name is not in Aravis's device list.
  if (ARV_IS_GC_STRING(arv_device_get_feature(device, "DeviceUserID"))) {
    const char* name = arv_device_get_string_feature_value(device, "DeviceUserID", &error);
    if (SettleLocked(error) && name) {
      std::lock_guard info(info_mutex_);
      identity_.name = name;
    }
  }
  return connected_;
}

bool AravisCamera::Disconnect() {
  std::lock_guard lock(mutex_);
  if (!connected_) return !lost_;
  UnrefAll(ReleaseDeviceLocked());
  return true;
}

uint64_t AravisCamera::FramesDropped() {
  std::lock_guard lock(mutex_);
  if (!stream_) return dropped_before_;
  std::lock_guard core_lock(stream_->mutex);
  return dropped_before_ + stream_->dropped;
}

std::unique_ptr<sdkabi::Stream> AravisCamera::OpenStream(
    std::shared_ptr<sdkabi::FrameSignal> signal) {
  std::lock_guard lock(mutex_);
  if (!UsableLocked() || stream_) return nullptr;
  auto core = std::make_shared<StreamCore>(*this, signal);
  auto stream = std::make_unique<AravisStream>(core);
  stream_ = core.get();
  std::lock_guard signals(signals_mutex_);
  signal_ = std::move(signal);
  return stream;
}

void AravisCamera::Forget(StreamCore& core) {
  std::lock_guard lock(mutex_);
  std::vector<gpointer> released;
  {
    std::lock_guard core_lock(core.mutex);
    core.DetachLocked(released);
    dropped_before_ += core.dropped;
    core.dropped = 0;
  }
  if (stream_ == &core) {
    stream_ = nullptr;
    std::lock_guard signals(signals_mutex_);
    signal_.reset();
  }
  if (lost_) {
    RunLater([released] { UnrefAll(released); });
  } else {
    UnrefAll(released);
  }
}

bool AravisCamera::UsableLocked() {
  if (lost_ && device_) ReleaseLostDeviceLocked();
  return device_ != nullptr && !lost_;
}

bool AravisCamera::SettleLocked(GError* error) {
  if (!error) return true;
  if (MeansLoss(error)) {
    lost_ = true;
    ReleaseLostDeviceLocked();
  }
  g_error_free(error);
  return false;
}

std::vector<gpointer> AravisCamera::ReleaseDeviceLocked() {
  std::vector<gpointer> released;
  if (stream_) {
    std::lock_guard core_lock(stream_->mutex);
    // Leaves a camera that still answers quiet; a lost one cannot hear it.
    if (stream_->grabbing && !lost_) {
      GError* ignored = nullptr;
      arv_device_execute_command(device_, "AcquisitionStop", &ignored);
      g_clear_error(&ignored);
    }
    stream_->DetachLocked(released);
  }
  if (device_) {
    g_signal_handler_disconnect(device_, lost_handler_);
    released.push_back(device_);
    device_ = nullptr;
  }
  connected_ = false;
  grabbing_ = false;
  return released;
}

void AravisCamera::ReleaseLostDeviceLocked() {
  std::vector<gpointer> released = ReleaseDeviceLocked();
  if (!released.empty()) RunLater([released] { UnrefAll(released); });
}

void AravisCamera::OnControlLost(ArvDevice* /*device*/, gpointer self) {
  // Aravis's heartbeat thread, which must not wait for the camera's lock:
  // the device's release, which may hold it, waits for this thread.  The
  // device goes on the reaper thread.
  auto* camera = static_cast<AravisCamera*>(self);
  camera->lost_ = true;
  camera->WakeStreams();
  RunLater([camera] {
    std::lock_guard lock(camera->mutex_);
    if (camera->lost_) camera->ReleaseLostDeviceLocked();
  });
}

void AravisCamera::WakeStreams() {
  std::lock_guard lock(signals_mutex_);
  if (signal_) signal_->Notify();
}

}  // namespace arvsdk
