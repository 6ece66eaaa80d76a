#include "png_writer.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace {

bool PlanesMatch(const hostlayer::Images& planes) {
  for (const auto& plane : planes) {
    if (plane.pixels == nullptr || plane.width != planes[0].width ||
        plane.height != planes[0].height) {
      return false;
    }
  }
  return planes[0].width > 0 && planes[0].height > 0;
}

}  // namespace

bool WritePng(const std::string& path, const hostlayer::Images& planes, std::string* error) {
  if (planes.size() != 1 && planes.size() != 3) {
    *error = "cannot write " + std::to_string(planes.size()) + " planes as one PNG";
    return false;
  }
  if (!PlanesMatch(planes)) {
    *error = "image planes are empty or of different sizes";
    return false;
  }
  const size_t width = static_cast<size_t>(planes[0].width);
  const size_t height = static_cast<size_t>(planes[0].height);

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = planes.size() == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;

  const uint8_t* pixels = planes[0].pixels;
  std::vector<uint8_t> interleaved;
  if (planes.size() == 3) {
    interleaved.resize(width * height * 3);
    const size_t count = width * height;
    for (size_t i = 0; i < count; ++i) {
      interleaved[3 * i] = planes[0].pixels[i];
      interleaved[3 * i + 1] = planes[1].pixels[i];
      interleaved[3 * i + 2] = planes[2].pixels[i];
    }
    pixels = interleaved.data();
  }
  // libpng only reads the buffer; its signature is not const-correct.
  if (png_image_write_to_file(&image, path.c_str(), 0, const_cast<uint8_t*>(pixels), 0, nullptr) ==
      0) {
    *error = "cannot write " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}
