// Parameters that write a camera feature and keep its value in the
// instance record.  The cache follows the camera: a write the camera
// refuses fails the request with H_ERR_FGPARV and leaves the cached value
// as it was, so a later read never reports a value the camera did not
// take.  A control object that is not there (released by a close) refuses
// the request before anything changes.
#include <cstring>

#include "base/shared_fields.h"
#include "base/text_copy.h"
#include "base/text_match.h"
#include "parameters/parameter_setters.h"

namespace {

bool Accepted(int32_t sdk_status) {
  return sdk_status == SDK_OK;
}

}  // namespace

Herror SetBoolFeature(const SetRequest& request) {
  HeldNode<GENICAM_BoolNode> node(request.entry.feature.boolean, request.camera);
  if (!node.held()) return H_ERR_FGPARV;
  const int32_t wanted = PositionInValues(request.entry, request.value->par.s);  // False 0, True 1
  if (wanted < 0) return H_ERR_FGPARV;
  int32_t& cached = request.inst.*request.entry.storage.flag;
  // The camera is written only when the value changes.
  if (cached != wanted &&
      !Accepted(node.get()->setValue(node.get(), static_cast<uint32_t>(wanted)))) {
    return H_ERR_FGPARV;
  }
  cached = wanted;
  return H_MSG_OK;
}

Herror SetFloatFeature(const SetRequest& request) {
  HeldNode<GENICAM_DoubleNode> node(request.entry.feature.real, request.camera);
  if (!node.held()) return H_ERR_FGPARV;
  const double value = request.value->par.d;
  // Sent unchanged: the camera's limits decide, not ours.
  if (!Accepted(node.get()->setValue(node.get(), value))) return H_ERR_FGPARV;
  request.inst.*request.entry.storage.real = value;
  return H_MSG_OK;
}

Herror SetIntFeature(const SetRequest& request) {
  const Storage& storage = request.entry.storage;
  const bool image_dimension = storage.image_size != nullptr;
  if (image_dimension && StreamGrabbing(request.camera)) return H_ERR_FGBUSY;
  HeldNode<GENICAM_IntNode> node(request.entry.feature.integer, request.camera);
  if (!node.held()) return H_ERR_FGPARV;

  int64_t increment = 1;
  node.get()->getIncrement(node.get(), &increment);
  int64_t value = request.value->par.l;
  // Truncating toward zero; an increment of 0 or +-1 leaves the value as
  // given (and spares the overflow of INT64_MIN / -1).
  if (increment > 1 || increment < -1) value = (value / increment) * increment;

  if (image_dimension) {
    int64_t sensor_max = 0;
    if (node.get()->getMaxVal(node.get(), &sensor_max) != SDK_OK ||
        !ImageSizeFits(request, value, sensor_max)) {
      return H_ERR_FGPARV;
    }
  }
  if (!Accepted(node.get()->setValue(node.get(), value))) return H_ERR_FGPARV;
  request.inst.*storage.integer = value;
  if (image_dimension) StoreShared(request.fginst.*storage.image_size, static_cast<int32_t>(value));
  return H_MSG_OK;
}

Herror SetPixelFormat(const SetRequest& request) {
  if (StreamGrabbing(request.camera)) return H_ERR_FGBUSY;
  InstanceRecord& inst = request.inst;
  const char* format = request.value->par.s;
  const int32_t count = inst.pixel_format_count < 0                  ? 0
                        : inst.pixel_format_count > kMaxPixelFormats ? kMaxPixelFormats
                                                                     : inst.pixel_format_count;
  // The last equal entry wins.  A name outside the list is never sent: the
  // camera would refuse it, or take a format the instance cannot name.
  int32_t found = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(format, inst.pixel_formats[i])) found = i;
  }
  if (found < 0) return H_ERR_FGPARV;
  HeldNode<GENICAM_EnumNode> node(kPixelFormatNode, request.camera);
  if (!node.held()) return H_ERR_FGPARV;
  // The camera's own spelling: its symbols are matched exactly, ours are not.
  if (!Accepted(node.get()->setValueBySymbol(node.get(), inst.pixel_formats[found]))) {
    return H_ERR_FGPARV;
  }
  inst.pixel_format_index = found;
  return H_MSG_OK;
}

Herror SetDeviceUserID(const SetRequest& request) {
  const char* text = request.value->par.s;
  char(&cached)[kTextLen] = request.inst.*request.entry.storage.text;
  // A text the field cannot hold whole is refused, not cut.
  if (strnlen(text, kTextLen) >= kTextLen) return H_ERR_FGPARV;
  HeldNode<GENICAM_StringNode> node(kDeviceUserIDNode, request.camera);
  if (!node.held()) return H_ERR_FGPARV;
  if (!Accepted(node.get()->setValue(node.get(), text))) return H_ERR_FGPARV;
  CopyText(cached, text);
  return H_MSG_OK;
}
