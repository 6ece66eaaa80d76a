// Fuzz target: the generic list of the open.  Each input is a list of up
// to eight values of any type code and content; when the open succeeds,
// one grab shows that the buffers it set up are sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/fuzz_values.h"
#include "support/fuzz_world.h"
#include "support/raw_instance.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  hacq_fuzz::StartWorld();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  {
    hacq_fuzz::ValueMaker maker(data);
    hacq_fuzz::RawInstance instance;
    FGInstance& record = instance.record();
    const char* device = data.ConsumeBool() ? hacq_fuzz::kMonoKey : hacq_fuzz::kColorKey;
    std::memcpy(record.device, device, std::strlen(device) + 1);

    const int count = data.ConsumeIntegralInRange<int>(0, 8);
    std::vector<ParamValue> generic;
    for (int i = 0; i < count; ++i) generic.push_back(maker.Value());
    // An empty list is passed as no list at all or as an empty array.
    record.generic = generic.empty() && data.ConsumeBool() ? nullptr : generic.data();
    record.num_generic = count;

    if (instance.Open() <= H_MSG_OK) instance.Grab();
  }
  hacq_fuzz::FinishRun();
  return 0;
}
