#include "acquisition/ring_conversion.h"

#include <cstring>

#include "acquisition/pixel_kernels.h"
#include "base/contract_texts.h"
#include "base/messages.h"
#include "bindings/conversion.h"

namespace {

Herror Refuse(const char* message) {
  PrintMessage(message);
  return H_ERR_FGTIMEOUT;
}

bool PartInside(const ImageRequest& r, const FrameView& f) {
  if (r.width <= 0 || r.height <= 0 || r.start_row < 0 || r.start_column < 0) return false;
  const int64_t last_row = (int64_t{r.start_row} + r.height - 1) * r.row_step;
  const int64_t last_column = (int64_t{r.start_column} + r.width - 1) * r.column_step;
  return last_row < f.height && last_column < f.width;
}

bool IsWholeFrame(const ImageRequest& r, const FrameView& f) {
  return r.start_row == 0 && r.start_column == 0 && r.row_step == 1 && r.column_step == 1 &&
         static_cast<uint32_t>(r.width) == f.width && static_cast<uint32_t>(r.height) == f.height;
}

// Copies the requested part out of a source image whose pixels are
// `source_bytes` wide (1, or 3 like the output) and whose rows lie
// `source_stride` bytes apart.  Gray sources widen to triples when the
// output has three channels.  `out` may be the source itself when no
// widening is asked for: every pixel then moves towards the start, and
// none is overwritten before it is read.
void CopyPart(const uint8_t* source, uint64_t source_stride, int source_bytes,
              const ImageRequest& r, uint8_t* out) {
  const PixelKernels& kernels = ActivePixelKernels();
  const bool widen = source_bytes == 1 && r.channels == 3;
  const size_t out_row = static_cast<size_t>(r.width) * r.channels;
  for (int32_t row = 0; row < r.height; ++row, out += out_row) {
    const uint8_t* in = source + uint64_t(r.start_row + row) * r.row_step * source_stride +
                        uint64_t(r.start_column) * r.column_step * source_bytes;
    if (r.column_step == 1) {
      if (widen) {
        kernels.widen_gray_to_bgr(in, out, static_cast<size_t>(r.width));
      } else {
        std::memmove(out, in, out_row);
      }
      continue;
    }
    const size_t step = size_t(r.column_step) * source_bytes;
    for (int32_t column = 0; column < r.width; ++column, in += step) {
      uint8_t* pixel = out + size_t(column) * r.channels;
      for (int32_t byte = 0; byte < r.channels; ++byte) pixel[byte] = in[widen ? 0 : byte];
    }
  }
}

uint64_t Mono8Stride(const FrameView& f) {
  return uint64_t{f.width} + f.padding_x;
}

Herror ConvertByLibrary(const ImageRequest& r, const FrameView& f, uint8_t* slot) {
  const ConversionInfo info{
      f.width, f.height, f.padding_x, f.padding_y, static_cast<uint32_t>(f.size), f.pixel_format};
  int32_t out_length = 0;
  const int32_t status = r.channels == 3 ? PXVANE_ConvertToBGR24(f.data, &info, slot, &out_length)
                                         : PXVANE_ConvertToMono8(f.data, &info, slot, &out_length);
  if (status != 0) return H_ERR_FGTIMEOUT;
  // The library converts whole frames; a part or a reduced resolution is
  // taken out of the converted frame in place.
  if (!IsWholeFrame(r, f)) CopyPart(slot, uint64_t{f.width} * r.channels, r.channels, r, slot);
  return H_MSG_OK;
}

}  // namespace

FrameView ViewOf(GENICAM_Frame* frame) {
  return {frame->getImage(frame),
          frame->getImageSize(frame),
          frame->getImageWidth(frame),
          frame->getImageHeight(frame),
          frame->getImagePixelFormat(frame),
          frame->getImagePaddingX(frame),
          frame->getImagePaddingY(frame)};
}

Herror CheckFrame(const ImageRequest& request, const FrameView& view, RingSlot slot) {
  if (view.data == nullptr) return Refuse(contract::kFrameTooShort);
  if (!PartInside(request, view)) return Refuse(contract::kPartOutsideFrame);
  // The image, a part of the converted frame, then fits as well.
  const uint64_t frame_bytes = uint64_t{view.width} * view.height * uint64_t(request.channels);
  if (slot.data == nullptr || slot.size < 0 || frame_bytes > uint64_t(slot.size)) {
    return Refuse(contract::kFrameTooLarge);
  }
  // The conversion library checks the sizes of the formats it converts.
  if (view.pixel_format == PFNC_Mono8 &&
      view.size < (uint64_t{view.height} - 1) * Mono8Stride(view) + view.width) {
    return Refuse(contract::kFrameTooShort);
  }
  return H_MSG_OK;
}

void CopyMono8(const ImageRequest& r, const FrameView& f, uint8_t* image) {
  const uint64_t stride = Mono8Stride(f);
  if (!IsWholeFrame(r, f) || stride != f.width) {
    CopyPart(f.data, stride, 1, r, image);
    return;
  }
  // The common case: one plain pass over the frame.
  const size_t pixels = size_t{f.width} * f.height;
  if (r.channels == 3) {
    ActivePixelKernels().widen_gray_to_bgr(f.data, image, pixels);
  } else {
    std::memcpy(image, f.data, pixels);
  }
}

Herror ConvertIntoSlot(const ImageRequest& request, const FrameView& frame, uint8_t* slot) {
  if (frame.pixel_format != PFNC_Mono8) return ConvertByLibrary(request, frame, slot);
  CopyMono8(request, frame, slot);
  return H_MSG_OK;
}
