#include "raw_instance.h"

#include <cstring>
#include <functional>

#include "fuzz_world.h"

namespace hacq_fuzz {
namespace {

constexpr int kMaxImages = 3;

Hproc_handle Proc() { return hostlayer::Driver::ProcHandle(); }

}  // namespace

RawInstance::RawInstance() : table_(TheDriver().fg_class()) {
  record_.fgclass = &table_;
  record_.horizontal_resolution = table_.horizontal_resolution;
  record_.vertical_resolution = table_.vertical_resolution;
  record_.image_width = table_.image_width;
  record_.image_height = table_.image_height;
  record_.start_row = table_.start_row;
  record_.start_column = table_.start_column;
  record_.field = table_.field;
  record_.bits_per_channel = table_.bits_per_channel;
  std::memcpy(record_.color_space, table_.color_space, FG_STRING_LEN);
  record_.gain = table_.gain;
  record_.external_trigger = table_.external_trigger;
  std::memcpy(record_.camera_type, table_.camera_type, FG_STRING_LEN);
  std::memcpy(record_.device, table_.device, FG_STRING_LEN);
  record_.port = table_.port;
  record_.line_in = table_.line_in;
}

RawInstance::~RawInstance() {
  if (open_) Close();
}

Herror RawInstance::Open() {
  FGInstance** slot = table_.OpenRequest(Proc(), &record_);
  const std::less<FGInstance**> before;
  if (slot == nullptr || before(slot, &table_.instance[0]) ||
      !before(slot, &table_.instance[0] + FG_MAX_INST) || *slot != nullptr) {
    Fail("OpenRequest gave no free slot of the table");
  }
  *slot = &record_;
  const Herror status = table_.Open(Proc(), &record_);
  if (status > H_MSG_OK) {
    *slot = nullptr;
    return status;
  }
  slot_ = slot;
  open_ = true;
  ++table_.instances_num;
  return status;
}

void RawInstance::Close() {
  if (table_.Close(Proc(), &record_) > H_MSG_OK) Fail("an open instance could not be closed");
  open_ = false;
  *slot_ = nullptr;
  --table_.instances_num;
}

Herror RawInstance::Grab() {
  Himage images[kMaxImages] = {};
  int32_t count = 0;
  const Herror status = table_.Grab(Proc(), &record_, images, &count);
  if (status <= H_MSG_OK && (count < 1 || count > kMaxImages)) Fail("grab delivered no images");
  unsigned sum = 0;
  for (int i = 0; i < kMaxImages; ++i) {
    Himage& image = images[i];
    if (image.pixel.b == nullptr) continue;
    if (status <= H_MSG_OK && i < count) {
      if (image.width <= 0 || image.height <= 0) Fail("grab delivered an empty image");
      // Every advertised pixel must be readable.
      const size_t bytes = size_t(image.width) * size_t(image.height);
      for (size_t k = 0; k < bytes; ++k) sum += image.pixel.b[k];
    }
    if (image.host_owned != 0) HXFree(Proc(), image.pixel.p);
  }
  volatile unsigned keep = sum;  // the reads above must happen
  (void)keep;
  return status;
}

Herror RawInstance::Set(const char* name, const ParamValue& value) {
  return table_.SetParam(Proc(), &record_, name, &value);
}

}  // namespace hacq_fuzz
