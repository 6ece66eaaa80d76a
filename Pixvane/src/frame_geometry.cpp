#include "frame_geometry.h"

#include <limits>

namespace pixvane {

ConvertStatus DescribeFrame(const uint8_t* src, const ConversionInfo* info, uint32_t out_channels,
                            Frame& frame) {
  if (src == nullptr || info == nullptr) return kConvertNullArgument;
  if (info->width == 0 || info->height == 0) return kConvertEmptyImage;
  const PixelFormatInfo* format = FindPixelFormat(info->pixel_format);
  if (format == nullptr) return kConvertUnknownFormat;

  const uint64_t pixels = uint64_t{info->width} * info->height;
  if (pixels * out_channels > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
    return kConvertImageTooLarge;

  // Each factor is below 2^35 and the height below 2^32, so compare by
  // division rather than risk the product overflowing.
  const uint64_t row_bytes = RowBytes(*format, info->width);
  const uint64_t stride = row_bytes + info->frame_extra_1;
  if (stride > info->data_size / info->height) return kConvertSourceTooSmall;

  frame = Frame{format,
                src,
                info->width,
                info->height,
                static_cast<size_t>(row_bytes),
                static_cast<size_t>(stride)};
  return kConvertOk;
}

}  // namespace pixvane
