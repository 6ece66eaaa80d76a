#include "acquisition/frame_delivery.h"

#include <cstring>

#include "acquisition/image_building.h"

Herror DeliverFrame(Hproc_handle proc_id, const ImageRequest& request, bool volatile_mode,
                    HeldFrame& frame, RingSlot slot, Himage* image, int32_t* num_image) {
  // A frame that cannot be converted makes no images and leaves setting 64
  // alone.
  const FrameView view = ViewOf(frame.get());
  Herror err = CheckFrame(request, view, slot);
  if (err != H_MSG_OK) return err;
  if (!volatile_mode && request.channels == 1 && view.pixel_format == PFNC_Mono8) {
    // A checked Mono8 frame cannot fail to convert, so copy-mode gray goes
    // straight into the host image: a stop in the ring would only add a
    // copy that nobody sees.
    err = CreateImages(proc_id, request, image, num_image);
    if (err == H_MSG_OK) CopyMono8(request, view, image[0].pixel.b);
    frame.Release();
    return err;
  }
  err = ConvertIntoSlot(request, view, slot.data);
  frame.Release();
  if (err != H_MSG_OK) return err;
  if (volatile_mode) return WrapBuffer(proc_id, request, slot.data, image, num_image);
  err = CreateImages(proc_id, request, image, num_image);
  if (err != H_MSG_OK) return err;
  if (request.channels == 1) {
    std::memcpy(image[0].pixel.b, slot.data, static_cast<size_t>(ImageBytes(request)));
    return H_MSG_OK;
  }
  return FillColourImages(request, slot.data, image);
}
