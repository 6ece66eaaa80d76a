// Fuzz target: the open parameters as a whole.  Each input fills every
// field of the host's record (numbers of any value, texts of any bytes up
// to a field without terminator, a generic list); when the open succeeds,
// one grab checks the image geometry it chose.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/fuzz_values.h"
#include "support/fuzz_world.h"
#include "support/raw_instance.h"

namespace {

// Mostly values near the ones that mean something, sometimes any value.
int32_t Number(FuzzedDataProvider& data, int32_t fallback) {
  switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return fallback;
    case 1:
      return data.ConsumeIntegralInRange<int32_t>(-2, 8);
    case 2:
      return data.ConsumeIntegralInRange<int32_t>(-100, 5000);
    default:
      return data.ConsumeIntegral<int32_t>();
  }
}

// A known word, any text, or the whole field without a terminator.
void Text(FuzzedDataProvider& data, const std::vector<std::string>& words,
          char (&field)[FG_STRING_LEN]) {
  const size_t pick = data.ConsumeIntegralInRange<size_t>(0, words.size() + 1);
  if (pick == words.size() + 1) {
    std::memset(field, data.ConsumeIntegralInRange<int>(1, 255), FG_STRING_LEN);
    return;
  }
  std::string text = pick < words.size() ? words[pick] : data.ConsumeRandomLengthString(64);
  text.resize(std::min(text.size(), size_t{FG_STRING_LEN - 1}));
  std::memcpy(field, text.c_str(), text.size() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  hacq_fuzz::StartWorld();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  {
    hacq_fuzz::ValueMaker maker(data);
    hacq_fuzz::RawInstance instance;
    FGInstance& r = instance.record();
    r.horizontal_resolution = Number(data, r.horizontal_resolution);
    r.vertical_resolution = Number(data, r.vertical_resolution);
    r.image_width = Number(data, r.image_width);
    r.image_height = Number(data, r.image_height);
    r.start_row = Number(data, r.start_row);
    r.start_column = Number(data, r.start_column);
    r.field = Number(data, r.field);
    r.bits_per_channel = Number(data, r.bits_per_channel);
    Text(data, {"default", "gray", "rgb", "yuv"}, r.color_space);
    if (data.ConsumeBool()) r.gain = std::bit_cast<float>(data.ConsumeIntegral<uint32_t>());
    r.external_trigger = data.ConsumeBool();
    Text(data, {"default", "ntsc", "pal", "auto"}, r.camera_type);
    Text(data, {"default", hacq_fuzz::kMonoKey, hacq_fuzz::kColorKey, "MonoCam", "0", "1"},
         r.device);
    r.port = Number(data, r.port);
    r.line_in = Number(data, r.line_in);
    const int count = data.ConsumeIntegralInRange<int>(0, 3);
    std::vector<ParamValue> generic;
    for (int i = 0; i < count; ++i) generic.push_back(maker.Value());
    r.generic = generic.empty() ? nullptr : generic.data();
    r.num_generic = count;

    if (instance.Open() <= H_MSG_OK) {
      if (r.external_trigger) {
        // No trigger comes: make the grab time out at once.
        ParamValue timeout{};
        timeout.type = PV_INTEGER;
        timeout.par.l = 1;
        instance.Set("grab_timeout", timeout);
      }
      instance.Grab();
    }
  }
  hacq_fuzz::FinishRun();
  return 0;
}
