#include "acquisition/image_request.h"

#include "base/shared_fields.h"

namespace {

// The divisor behind a resolution the open derived from the full size.
int32_t DivisorBehind(int32_t resolution, int32_t full_size) {
  for (int32_t divisor : {1, 2, 4}) {
    if (full_size / divisor == resolution) return divisor;
  }
  return 1;
}

}  // namespace

ImageRequest ReadImageRequest(FGInstance& fginst) {
  ImageRequest request{};
  request.width = LoadShared(fginst.image_width);
  request.height = LoadShared(fginst.image_height);
  request.start_row = LoadShared(fginst.start_row);
  request.start_column = LoadShared(fginst.start_column);
  request.row_step =
      DivisorBehind(LoadShared(fginst.vertical_resolution), LoadShared(fginst.height_max));
  request.column_step =
      DivisorBehind(LoadShared(fginst.horizontal_resolution), LoadShared(fginst.width_max));
  request.channels = LoadShared(fginst.num_channels) == 3 ? 3 : 1;
  return request;
}

int64_t ImageBytes(const ImageRequest& request) {
  if (request.width <= 0 || request.height <= 0) return -1;
  return int64_t{request.width} * request.height * request.channels;
}
