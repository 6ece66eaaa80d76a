// The volatile switch: in volatile mode the host images are the frame
// buffers themselves, so the switch only tells the host who makes the
// images.  A switch to the mode already on changes nothing.  A grab on
// another thread reads volatile_mode through std::atomic_ref.
#include "base/shared_fields.h"
#include "parameters/parameter_setters.h"

namespace {

Herror Enable(const SetRequest& request) {
  FGInstance& fginst = request.fginst;
  // Volatile images wrap a buffer as one byte image.
  if (LoadShared(fginst.bits_per_channel) != 8 || LoadShared(fginst.num_channels) != 1) {
    return H_ERR_FGPARV;
  }
  if (LoadShared(request.inst.volatile_mode)) return H_MSG_OK;
  StoreShared(request.inst.volatile_mode, true);
  StoreShared(fginst.host_allocates_images, false);
  StoreShared(fginst.image_release_proc, static_cast<void*>(nullptr));
  return H_MSG_OK;
}

Herror Disable(const SetRequest& request) {
  if (!LoadShared(request.inst.volatile_mode)) return H_MSG_OK;
  StoreShared(request.inst.volatile_mode, false);
  StoreShared(request.fginst.host_allocates_images, true);
  return H_MSG_OK;
}

}  // namespace

Herror SetVolatile(const SetRequest& request) {
  switch (PositionInValues(request.entry, request.value->par.s)) {
    case 1:
      return Enable(request);
    case 0:
      return Disable(request);
    default:
      return H_ERR_FGPARV;
  }
}
