// A frame record filled by hand, for driving the conversion step without a
// stream: the SDK's frame operations answer from the fields below.
#pragma once

#include <cstdint>
#include <vector>

#include "camera_sdk.h"

struct FakeFrame {
  GENICAM_Frame api{};
  std::vector<uint8_t> bytes;
  uint32_t size = 0;  // reported size; defaults to bytes.size()
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t pixel_format = PFNC_Mono8;
  uint32_t padding_x = 0;
  uint32_t padding_y = 0;
  int32_t valid = SDK_OK;
  int releases = 0;

  FakeFrame() {
    api.priv = this;
    api.release = [](GENICAM_Frame* f) { return ++Self(f)->releases, SDK_OK; };
    api.valid = [](GENICAM_Frame* f) { return Self(f)->valid; };
    api.getImage = [](GENICAM_Frame* f) -> const uint8_t* { return Self(f)->bytes.data(); };
    api.getImageSize = [](GENICAM_Frame* f) { return Self(f)->size; };
    api.getImageWidth = [](GENICAM_Frame* f) { return Self(f)->width; };
    api.getImageHeight = [](GENICAM_Frame* f) { return Self(f)->height; };
    api.getImagePixelFormat = [](GENICAM_Frame* f) { return Self(f)->pixel_format; };
    api.getImagePaddingX = [](GENICAM_Frame* f) { return Self(f)->padding_x; };
    api.getImagePaddingY = [](GENICAM_Frame* f) { return Self(f)->padding_y; };
    api.getBlockId = [](GENICAM_Frame*) { return uint64_t{0}; };
  }
  FakeFrame(const FakeFrame&) = delete;
  FakeFrame& operator=(const FakeFrame&) = delete;

  // A Mono8 frame of w x h whose pixel (r, c) is value(r, c), rows padded
  // by `pad` bytes of 0xEE.
  template <class Value>
  void FillMono8(uint32_t w, uint32_t h, Value value, uint32_t pad = 0) {
    width = w;
    height = h;
    padding_x = pad;
    pixel_format = PFNC_Mono8;
    bytes.assign(size_t(w + pad) * h, 0xEE);
    for (uint32_t r = 0; r < h; ++r)
      for (uint32_t c = 0; c < w; ++c) bytes[size_t(r) * (w + pad) + c] = value(r, c);
    size = static_cast<uint32_t>(bytes.size());
  }

  GENICAM_Frame* get() { return &api; }

 private:
  static FakeFrame* Self(GENICAM_Frame* f) { return static_cast<FakeFrame*>(f->priv); }
};
