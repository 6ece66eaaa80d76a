#include "frame_files.h"

#include <filesystem>
#include <system_error>

namespace {

std::string SafeFileStem(const std::string& camera) {
  std::string stem = camera;
  for (char& c : stem) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_';
    if (!safe) c = '_';
  }
  // A stem of dots alone would name the directory or its parent.
  if (stem.find_first_not_of('.') == std::string::npos) stem.insert(0, "camera");
  return stem;
}

}  // namespace

std::string FramePath(const std::string& dir, const std::string& camera, int64_t index,
                      int64_t count) {
  size_t digits = std::to_string(count > 0 ? count - 1 : 0).size();
  if (digits < 4) digits = 4;
  std::string number = std::to_string(index);
  if (number.size() < digits) number.insert(0, digits - number.size(), '0');
  return (std::filesystem::path(dir) / (SafeFileStem(camera) + "_" + number + ".png")).string();
}

bool EnsureDirectory(const std::string& dir, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir, ec)) {
    *error = "cannot create directory " + dir + (ec ? ": " + ec.message() : "");
    return false;
  }
  return true;
}
