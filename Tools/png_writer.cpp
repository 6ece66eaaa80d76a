#include "png_writer.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
  // Written under a name of its own and renamed when complete: a file under
  // the final name is always whole, even when the process is killed.
  const std::string partial = path + ".part" + std::to_string(getpid());
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  // libpng only reads the buffer; its signature is not const-correct.
  const bool encoded =
      png_image_write_to_stdio(&image, file, 0, const_cast<uint8_t*>(pixels), 0, nullptr) != 0;
  const std::string why = encoded ? "" : image.message;
  const bool closed = std::fclose(file) == 0;
  if (!encoded || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path + ": " + (encoded ? std::strerror(errno) : why);
    std::remove(partial.c_str());
    png_image_free(&image);
    return false;
  }
  return true;
}
