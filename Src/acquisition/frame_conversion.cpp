#include "frame_conversion.h"

#include <cstring>
#include <memory>
#include <new>

#include "conversion.h"
#include "messages.h"
#include "pixel_kernels.h"

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
// output has three channels.
void CopyPart(const uint8_t* source, uint64_t source_stride, int source_bytes,
              const ImageRequest& r, uint8_t* out) {
  const PixelKernels& kernels = Kernels();
  const bool widen = source_bytes == 1 && r.channels == 3;
  const size_t out_row = static_cast<size_t>(r.width) * r.channels;
  for (int32_t row = 0; row < r.height; ++row, out += out_row) {
    const uint8_t* in = source + uint64_t(r.start_row + row) * r.row_step * source_stride +
                        uint64_t(r.start_column) * r.column_step * source_bytes;
    if (r.column_step == 1) {
      if (widen) {
        kernels.widen_gray_to_bgr(in, out, static_cast<size_t>(r.width));
      } else {
        std::memcpy(out, in, out_row);
      }
      continue;
    }
    const size_t step = size_t(r.column_step) * source_bytes;
    for (int32_t column = 0; column < r.width; ++column, in += step) {
      uint8_t* pixel = out + size_t(column) * r.channels;
      if (widen) {
        pixel[0] = pixel[1] = pixel[2] = in[0];
      } else {
        std::memcpy(pixel, in, static_cast<size_t>(r.channels));
      }
    }
  }
}

uint64_t Mono8Stride(const FrameView& f) { return uint64_t{f.width} + f.padding_x; }

void ConvertMono8(const ImageRequest& r, const FrameView& f, uint8_t* out) {
  const uint64_t stride = Mono8Stride(f);
  if (IsWholeFrame(r, f) && stride == f.width) {
    // The common case: one plain pass over the frame.
    const size_t pixels = size_t{f.width} * f.height;
    if (r.channels == 3) {
      Kernels().widen_gray_to_bgr(f.data, out, pixels);
    } else {
      std::memcpy(out, f.data, pixels);
    }
    return;
  }
  CopyPart(f.data, stride, 1, r, out);
}

Herror ConvertByLibrary(const ImageRequest& r, const FrameView& f, uint8_t* out) {
  const ConversionInfo info{
      f.width, f.height, f.padding_x, f.padding_y, static_cast<uint32_t>(f.size), f.pixel_format};
  auto convert = [&](uint8_t* target) {
    int32_t out_length = 0;
    return r.channels == 3 ? PXVANE_ConvertToBGR24(f.data, &info, target, &out_length)
                           : PXVANE_ConvertToMono8(f.data, &info, target, &out_length);
  };
  const uint64_t converted_bytes = uint64_t{f.width} * f.height * r.channels;
  if (IsWholeFrame(r, f)) {
    return convert(out) == 0 ? H_MSG_OK : H_ERR_FGTIMEOUT;
  }
  // A part or a reduced resolution: the library converts whole frames, so
  // the frame goes through a block of its own first.
  std::unique_ptr<uint8_t[]> whole(new (std::nothrow) uint8_t[converted_bytes]);
  if (!whole || convert(whole.get()) != 0) return H_ERR_FGTIMEOUT;
  CopyPart(whole.get(), uint64_t{f.width} * r.channels, r.channels, r, out);
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

Herror CheckFrame(const ImageRequest& request, const FrameView& view, FrameBuffer buffer) {
  if (view.data == nullptr) return Refuse("frame shorter than its size.\r\n");
  if (!PartInside(request, view)) return Refuse("image part outside the frame.\r\n");
  // The buffer was sized at open for the largest frame; a larger one means
  // the camera changed behind the interface's back.  The image, a part of
  // the frame, then fits as well.
  const uint64_t frame_bytes = uint64_t{view.width} * view.height * uint64_t(request.channels);
  if (buffer.data == nullptr || buffer.size < 0 || frame_bytes > uint64_t(buffer.size)) {
    return Refuse("frame larger than the image buffer.\r\n");
  }
  // The conversion library checks the sizes of the formats it converts.
  if (view.pixel_format == PFNC_Mono8 &&
      view.size < (uint64_t{view.height} - 1) * Mono8Stride(view) + view.width) {
    return Refuse("frame shorter than its size.\r\n");
  }
  return H_MSG_OK;
}

Herror ConvertCheckedFrame(const ImageRequest& request, const FrameView& view, uint8_t* out) {
  if (view.pixel_format != PFNC_Mono8) return ConvertByLibrary(request, view, out);
  ConvertMono8(request, view, out);
  return H_MSG_OK;
}
