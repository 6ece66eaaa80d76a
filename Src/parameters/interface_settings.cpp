// Parameters held by the interface and the host record, not the camera.
#include "base/shared_fields.h"
#include "parameters/parameter_setters.h"

Herror SetInterfaceInteger(const SetRequest& request) {
  request.inst.*request.entry.storage.integer = request.value->par.l;  // stored as given
  return H_MSG_OK;
}

Herror SetInterfaceSwitch(const SetRequest& request) {
  const int32_t position = PositionInValues(request.entry, request.value->par.s);
  if (position < 0) return H_ERR_FGPARV;
  StoreShared(request.inst.*request.entry.storage.on_off, position == 1);
  return H_MSG_OK;
}

Herror SetBitsPerChannel(const SetRequest& request) {
  if (request.value->par.l != 8) return H_ERR_FGPARV;
  StoreShared(request.fginst.*request.entry.storage.host, int32_t{8});
  return H_MSG_OK;
}

Herror SetResolution(const SetRequest& request) {
  const int64_t size = request.value->par.l;
  // The sensor's maximum along this axis bounds what a grab may build.
  HeldNode<GENICAM_IntNode> axis(request.entry.feature.integer, request.camera);
  int64_t sensor_max = 0;
  if (!axis.held() || axis.get()->getMaxVal(axis.get(), &sensor_max) != SDK_OK) {
    return H_ERR_FGPARV;
  }
  if (!ImageSizeFits(request, size, sensor_max)) return H_ERR_FGPARV;
  const Storage& storage = request.entry.storage;
  StoreShared(request.fginst.*storage.host, static_cast<int32_t>(size));
  StoreShared(request.fginst.*storage.image_size, static_cast<int32_t>(size));
  return H_MSG_OK;
}

bool ImageSizeFits(const SetRequest& request, int64_t size, int64_t sensor_max) {
  if (size < 1 || size > sensor_max) return false;
  const FGInstance& fginst = request.fginst;
  int64_t other = LoadShared(request.fginst.*request.entry.storage.other_image_size);
  if (other < 1) other = 1;
  const int64_t channels = LoadShared(fginst.num_channels) == 3 ? 3 : 1;
  const int64_t bytes_per_channel = (int64_t{LoadShared(fginst.bits_per_channel)} + 7) / 8;
  const int64_t bytes = size * other * channels * (bytes_per_channel < 1 ? 1 : bytes_per_channel);
  return bytes <= request.inst.frame_buffer_size;
}

bool StreamGrabbing(const CameraEntry& camera) {
  GENICAM_StreamSource* stream = camera.stream;
  return stream != nullptr && stream->isGrabbing(stream) == SDK_OK;
}
