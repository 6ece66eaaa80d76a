#include "acquisition/image_building.h"

#include "acquisition/pixel_kernels.h"
#include "base/contract_texts.h"
#include "base/guarded_call.h"

namespace {

Herror RestoreSetting64(Hproc_handle proc_id, int64_t save) {
  return HCALL(contract::kRestoreSetting64,
               HAccessGlVar(proc_id, HGV_IMAGE_INIT, 0, nullptr, static_cast<double>(save), nullptr,
                            nullptr, 0));
}

}  // namespace

Herror WrapBuffer(Hproc_handle proc_id, const ImageRequest& request, uint8_t* buffer, Himage* image,
                  int32_t* num_image) {
  const size_t size = size_t(request.width) * request.height;
  for (int32_t i = 0; i < request.channels; ++i) {
    const Herror err =
        HCALL(contract::kWrapBuffer, HNewImagePtr(proc_id, &image[i], HIMAGE_BYTE, request.width,
                                                  request.height, buffer + i * size, 0));
    if (err != H_MSG_OK) return err;
  }
  *num_image = request.channels;
  return H_MSG_OK;
}

Herror CreateImages(Hproc_handle proc_id, const ImageRequest& request, Himage* image,
                    int32_t* num_image) {
  int64_t save = 0;
  Herror err = HCALL(contract::kReadSetting64,
                     HAccessGlVar(proc_id, HGV_IMAGE_INIT, 1, &save, 0.0, nullptr, nullptr, 0));
  if (err != H_MSG_OK) return err;
  err = HCALL(contract::kClearSetting64,
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
  return HCALL(contract::kSplitPlanes,
               ExtractChannelsFromRGB24(request, buffer, image[2].pixel.b, image[1].pixel.b,
                                        image[0].pixel.b));
}

Herror ExtractChannelsFromRGB24(const ImageRequest& request, const uint8_t* src, uint8_t* a,
                                uint8_t* b, uint8_t* c) {
  const int64_t pixels = int64_t{request.height} * request.width;
  if (pixels <= 0) return H_MSG_OK;
  const PixelKernels& kernels = ActivePixelKernels();
  const size_t n = static_cast<size_t>(pixels);
  if (HGVGet_CPUCache(1) > 8) {
    kernels.split_planes(src, a, b, c, n);
  } else {
    uint8_t* const planes[3] = {a, b, c};
    for (int channel = 0; channel < 3; ++channel)
      kernels.extract_plane[channel](src, planes[channel], n);
  }
  return H_MSG_OK;
}
