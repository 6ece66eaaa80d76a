#include "image_request.h"

#include "shared_fields.h"

namespace {

int32_t Divisor(int32_t full_size, int32_t resolution) {
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
  request.row_step = Divisor(LoadShared(fginst.height_max), LoadShared(fginst.vertical_resolution));
  request.column_step =
      Divisor(LoadShared(fginst.width_max), LoadShared(fginst.horizontal_resolution));
  request.channels = LoadShared(fginst.num_channels) == 3 ? 3 : 1;
  return request;
}

int64_t ImageBytes(const ImageRequest& request) {
  if (request.width <= 0 || request.height <= 0) return -1;
  return int64_t{request.width} * request.height * request.channels;
}
