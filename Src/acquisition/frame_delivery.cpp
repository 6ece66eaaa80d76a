#include "frame_delivery.h"

#include <cstring>

#include "image_building.h"

Herror DeliverFrame(Hproc_handle proc_id, const ImageRequest& request, bool volatile_mode,
                    HeldFrame& frame, FrameBuffer ring, Himage* image, int32_t* num_image) {
  // A frame that cannot be converted makes no images and leaves setting 64
  // alone.
  const FrameView view = ViewOf(frame.get());
  Herror err = CheckFrame(request, view, ring);
  if (err != H_MSG_OK) return err;
  if (!volatile_mode && request.channels == 1 && view.pixel_format == PFNC_Mono8) {
    // A checked Mono8 frame cannot fail to convert, so copy-mode gray goes
    // straight into the host image: a stop in the ring would only add a
    // copy that nobody sees.
    err = CreateImages(proc_id, request, image, num_image);
    if (err == H_MSG_OK) ConvertCheckedFrame(request, view, image[0].pixel.b);
    frame.Release();
    return err;
  }
  err = ConvertCheckedFrame(request, view, ring.data);
  frame.Release();
  if (err != H_MSG_OK) return err;
  if (volatile_mode) return WrapBuffer(proc_id, request, ring.data, image, num_image);
  err = CreateImages(proc_id, request, image, num_image);
  if (err != H_MSG_OK) return err;
  if (request.channels == 1) {
    std::memcpy(image[0].pixel.b, ring.data, static_cast<size_t>(ImageBytes(request)));
    return H_MSG_OK;
  }
  return FillColourImages(request, ring.data, image);
}
