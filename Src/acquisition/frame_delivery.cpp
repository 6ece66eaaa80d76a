#include "frame_delivery.h"

#include "image_building.h"

Herror DeliverFrame(Hproc_handle proc_id, const ImageRequest& request, bool volatile_mode,
                    HeldFrame& frame, FrameBuffer ring, Himage* image, int32_t* num_image) {
  if (volatile_mode) {
    const Herror err = ConvertFrame(request, frame.get(), ring);
    frame.Release();
    return err != H_MSG_OK ? err : WrapBuffer(proc_id, request, ring.data, image, num_image);
  }
  if (request.channels == 1) {
    // Copy-mode gray goes straight into the host image: a stop in the ring
    // buffer would only add a copy that nobody sees.
    const Herror err = CreateImages(proc_id, request, image, num_image);
    if (err != H_MSG_OK) return err;
    return ConvertFrame(request, frame.get(), FrameBuffer{image[0].pixel.b, ImageBytes(request)});
  }
  Herror err = ConvertFrame(request, frame.get(), ring);
  frame.Release();
  if (err != H_MSG_OK) return err;
  err = CreateImages(proc_id, request, image, num_image);
  return err != H_MSG_OK ? err : FillColourImages(request, ring.data, image);
}
