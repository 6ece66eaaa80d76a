#include "image_building.h"

#include "guarded_call.h"
#include "pixel_kernels.h"

namespace {

Herror RestoreSetting64(Hproc_handle proc_id, int64_t save) {
  return HCALL(
      "HAccessGlVar(proc_id,64,0,((void *)0),(double)save,(char *)((void *)0),(Hkey)((void "
      "*)0),0)",
      HAccessGlVar(proc_id, HGV_IMAGE_INIT, 0, nullptr, static_cast<double>(save), nullptr, nullptr,
                   0));
}

}  // namespace

Herror WrapBuffer(Hproc_handle proc_id, const ImageRequest& request, uint8_t* buffer, Himage* image,
                  int32_t* num_image) {
  const size_t size = size_t(request.width) * request.height;
  for (int32_t i = 0; i < request.channels; ++i) {
    const Herror err = HCALL(
        "HNewImagePtr(proc_id, &image[i], (INT)(1<<0), fginst->image_width, "
        "fginst->image_height, (void*)(currInst->InstFrameBuffer[readBuffer] + "
        "i*size*sizeof(HBYTE)), 0)",
        HNewImagePtr(proc_id, &image[i], HIMAGE_BYTE, request.width, request.height,
                     buffer + i * size, 0));
    if (err != H_MSG_OK) return err;
  }
  *num_image = request.channels;
  return H_MSG_OK;
}

Herror CreateImages(Hproc_handle proc_id, const ImageRequest& request, Himage* image,
                    int32_t* num_image) {
  int64_t save = 0;
  Herror err =
      HCALL("HAccessGlVar(proc_id,64,1,&save,(double)0,(char *)((void *)0),(Hkey)((void *)0),0)",
            HAccessGlVar(proc_id, HGV_IMAGE_INIT, 1, &save, 0.0, nullptr, nullptr, 0));
  if (err != H_MSG_OK) return err;
  err = HCALL(
      "HAccessGlVar(proc_id,64,0,((void *)0),(double)0,(char *)((void *)0),(Hkey)((void "
      "*)0),0)",
      HAccessGlVar(proc_id, HGV_IMAGE_INIT, 0, nullptr, 0.0, nullptr, nullptr, 0));
  if (err != H_MSG_OK) return err;

  *num_image = request.channels;
  for (int32_t i = 0; i < request.channels; ++i) {
    err = HNewImage(proc_id, &image[i], HIMAGE_BYTE, request.width, request.height);
    if (err != H_MSG_OK) {
      const Herror restored = RestoreSetting64(proc_id, save);
      return restored != H_MSG_OK ? restored : err;
    }
  }
  return RestoreSetting64(proc_id, save);
}

Herror FillColourImages(const ImageRequest& request, const uint8_t* buffer, Himage* image) {
  return HCALL(
      "ExtractChannelsFromRGB24(fginst, currInst->InstFrameBuffer[readBuffer], "
      "image[2].pixel.b, image[1].pixel.b, image[0].pixel.b)",
      ExtractChannelsFromRGB24(request, buffer, image[2].pixel.b, image[1].pixel.b,
                               image[0].pixel.b));
}

Herror ExtractChannelsFromRGB24(const ImageRequest& request, const uint8_t* src, uint8_t* a,
                                uint8_t* b, uint8_t* c) {
  const int64_t pixels = int64_t{request.height} * request.width;
  if (pixels <= 0) return H_MSG_OK;
  const PixelKernels& kernels = Kernels();
  const size_t n = static_cast<size_t>(pixels);
  if (HGVGet_CPUCache(1) > 8) {
    kernels.split_planes(src, a, b, c, n);
  } else {
    kernels.extract_plane(src, a, n, 0);
    kernels.extract_plane(src, b, n, 1);
    kernels.extract_plane(src, c, n, 2);
  }
  return H_MSG_OK;
}
