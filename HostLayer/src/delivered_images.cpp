#include "delivered_images.h"

#include "host_state.h"

namespace hostlayer::detail {
namespace {

bool Usable(const Himage& raw) {
  return raw.pixel.p != nullptr && raw.kind == HIMAGE_BYTE && raw.width > 0 && raw.height > 0;
}

Image Adopt(const Himage& raw) {
  Image image;
  image.width = raw.width;
  image.height = raw.height;
  image.pixels = raw.pixel.b;
  if (raw.host_owned != 0) {
    // The block goes back to the host's accounting when the last copy of
    // this Image is dropped (the host would free the image object then).
    image.owned =
        std::shared_ptr<uint8_t>(raw.pixel.b, [](uint8_t* pixels) { ReleaseBlock(pixels); });
  } else {
    image.is_view = true;
  }
  return image;
}

}  // namespace

Herror CollectImages(Herror status, RawImages& raw, int32_t count, Images* images) {
  Images collected;
  bool sound = count >= 0 && count <= kMaxImages;
  for (int i = 0; i < kMaxImages; ++i) {
    if (raw[i].pixel.p == nullptr) {
      if (i < count) sound = false;
      continue;
    }
    Image image = Adopt(raw[i]);
    if (i < count) {
      sound = sound && Usable(raw[i]);
      collected.push_back(std::move(image));
    }
  }
  if (status > H_MSG_OK) return status;
  if (!sound) return kErrBadAnswer;
  if (images != nullptr) *images = std::move(collected);
  return status;
}

}  // namespace hostlayer::detail
