#include "aravis_stream.h"

#include <algorithm>
#include <limits>
#include <new>

#include "aravis_camera.h"

namespace arvsdk {
namespace {

// Enough to ride out a consumer that is a few frames late.
constexpr int kBuffers = 8;

// What Aravis's stream thread hands our callback: the frame signal of the
// stream, kept for as long as Aravis keeps the callback.
struct CallbackData {
  std::shared_ptr<sdkabi::FrameSignal> signal;
};

void OnStreamEvent(void* data, ArvStreamCallbackType type, ArvBuffer* /*buffer*/) {
  if (type == ARV_STREAM_CALLBACK_TYPE_BUFFER_DONE)
    static_cast<CallbackData*>(data)->signal->Notify();
}

void DeleteCallbackData(void* data) {
  delete static_cast<CallbackData*>(data);
}

ArvStream* CreateStream(ArvDevice* device, const std::shared_ptr<sdkabi::FrameSignal>& signal,
                        GError** error) {
  // A GigE Vision camera takes the largest packet the path carries; a
  // failed negotiation keeps its current size.
  if (ARV_IS_GV_DEVICE(device)) {
    GError* ignored = nullptr;
    arv_gv_device_auto_packet_size(ARV_GV_DEVICE(device), &ignored);
    g_clear_error(&ignored);
  }
  auto* data = new CallbackData{signal};
  ArvStream* stream =
      arv_device_create_stream_full(device, &OnStreamEvent, data, &DeleteCallbackData, error);
  if (!stream && !*error) g_set_error(error, ARV_DEVICE_ERROR, ARV_DEVICE_ERROR_UNKNOWN, "stream");
  return stream;
}

// Free-running frames need continuous acquisition; a camera without the
// feature, or that refuses it, keeps its own mode.
void AskForContinuous(ArvDevice* device) {
  GError* ignored = nullptr;
  if (ARV_IS_GC_ENUMERATION(arv_device_get_feature(device, "AcquisitionMode")))
    arv_device_set_string_feature_value(device, "AcquisitionMode", "Continuous", &ignored);
  g_clear_error(&ignored);
}

uint32_t Clamp32(size_t value) {
  return static_cast<uint32_t>(std::min<size_t>(value, std::numeric_limits<uint32_t>::max()));
}

}  // namespace

void StreamCore::FlushLocked() {
  while (ArvBuffer* buffer = arv_stream_try_pop_buffer(stream))
    arv_stream_push_buffer(stream, buffer);
}

void StreamCore::ProvideBuffersLocked(size_t bytes) {
  if (bytes == payload) {
    FlushLocked();
    return;
  }
  if (payload != 0) {
    arv_stream_stop_thread(stream, TRUE);  // frees the queued buffers
    arv_stream_start_thread(stream);
  }
  ++generation;
  payload = bytes;
  for (int i = 0; i < kBuffers; ++i) arv_stream_push_buffer(stream, arv_buffer_new_allocate(bytes));
}

void StreamCore::NoteFrameIdLocked(ArvBuffer* buffer) {
  const uint64_t id = arv_buffer_get_frame_id(buffer);
  if (last_frame_id && id > *last_frame_id + 1) {
    dropped += id - *last_frame_id - 1;
  } else if (last_frame_id && id < *last_frame_id && *last_frame_id <= 0xffff) {
    // GigE Vision 1 ids are 16 bits and skip 0 when they wrap.
    dropped += id + 0xffff - *last_frame_id - 1;
  }
  last_frame_id = id;
}

void StreamCore::DetachLocked(std::vector<gpointer>& released) {
  grabbing = false;
  if (stream) {
    released.push_back(stream);
    stream = nullptr;
    ++generation;
    payload = 0;
  }
  signal->Notify();
}

void StreamCore::GiveBack(ArvBuffer* buffer, uint64_t buffer_generation) {
  std::lock_guard lock(mutex);
  if (stream && buffer_generation == generation) {
    arv_stream_push_buffer(stream, buffer);
  } else {
    g_object_unref(buffer);
  }
}

AravisStream::~AravisStream() {
  Stop();
  core_->camera.Forget(*core_);
}

bool AravisStream::Start(uint64_t max_images) {
  StreamCore& core = *core_;
  return core.camera.WithDevice([&](ArvDevice* device, GError** error) {
    std::lock_guard lock(core.mutex);
    if (core.grabbing) return false;
    if (!core.stream) core.stream = CreateStream(device, core.signal, error);
    if (!core.stream) return false;
    const gint64 payload = arv_device_get_integer_feature_value(device, "PayloadSize", error);
    if (*error || payload <= 0) return false;
    core.ProvideBuffersLocked(static_cast<size_t>(payload));
    AskForContinuous(device);
    arv_device_execute_command(device, "AcquisitionStart", error);
    if (*error) return false;
    core.grabbing = true;
    core.next_block = 0;
    core.last_frame_id.reset();
    core.max_images = max_images;
    core.camera.NoteGrabbingLocked(true);
    return true;
  });
}

sdkabi::StopResult AravisStream::Stop() {
  StreamCore& core = *core_;
  bool was_grabbing = false;
  const bool ok = core.camera.WithDevice([&](ArvDevice* device, GError** error) {
    std::lock_guard lock(core.mutex);
    was_grabbing = core.grabbing;
    if (!was_grabbing) return true;
    arv_device_execute_command(device, "AcquisitionStop", error);
    if (*error) return false;
    core.grabbing = false;
    core.camera.NoteGrabbingLocked(false);
    core.FlushLocked();
    core.signal->Notify();
    return true;
  });
  // A camera that is not connected has no stream grabbing: its disconnect
  // stopped it.
  if (!was_grabbing) return sdkabi::StopResult::NotGrabbing;
  return ok ? sdkabi::StopResult::Stopped : sdkabi::StopResult::Failed;
}

bool AravisStream::IsGrabbing() {
  std::lock_guard lock(core_->mutex);
  return core_->grabbing;
}

sdkabi::FramePoll AravisStream::TakeFrame(sdkabi::Clock::time_point /*now*/) {
  std::lock_guard lock(core_->mutex);
  StreamCore& core = *core_;
  if (!core.grabbing || !core.stream || core.camera.Lost()) return {.stopped = true};
  if (core.max_images != 0 && core.next_block >= core.max_images) return {.stopped = true};
  ArvBuffer* buffer = arv_stream_try_pop_buffer(core.stream);
  if (!buffer) return {};
  // A frame that cannot be made leaves its buffer in the stream.
  std::unique_ptr<AravisFrame> frame(
      new (std::nothrow) AravisFrame(core_, buffer, core.generation, core.next_block));
  if (!frame) {
    arv_stream_push_buffer(core.stream, buffer);
    return {};
  }
  core.NoteFrameIdLocked(buffer);
  ++core.next_block;
  return {.frame = std::move(frame)};
}

sdkabi::FrameInfo AravisFrame::Describe() const {
  size_t size = 0;
  const auto* image = static_cast<const uint8_t*>(arv_buffer_get_image_data(buffer_, &size));
  gint padding_x = 0;
  gint padding_y = 0;
  arv_buffer_get_image_padding(buffer_, &padding_x, &padding_y);
  sdkabi::FrameInfo info;
  info.image = image;
  info.size = Clamp32(size);
  info.width = static_cast<uint32_t>(std::max(arv_buffer_get_image_width(buffer_), 0));
  info.height = static_cast<uint32_t>(std::max(arv_buffer_get_image_height(buffer_), 0));
  info.pixel_format = arv_buffer_get_image_pixel_format(buffer_);
  info.padding_x = static_cast<uint32_t>(std::max(padding_x, 0));
  info.padding_y = static_cast<uint32_t>(std::max(padding_y, 0));
  info.block_id = block_id_;
  info.complete = arv_buffer_get_status(buffer_) == ARV_BUFFER_STATUS_SUCCESS && image != nullptr;
  return info;
}

}  // namespace arvsdk
