#include "raw_instance.h"

#include <functional>

#include "fuzz_world.h"

namespace hacq_fuzz {
namespace {

constexpr int kMaxImages = 3;

Hproc_handle Proc() {
  return hostlayer::Driver::ProcHandle();
}

}  // namespace

RawInstance::RawInstance() : table_(TheDriver().fg_class()) {
  // All defaults always resolve.
  TheDriver().ResolveRecord(hostlayer::OpenParams{}, &record_);
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
