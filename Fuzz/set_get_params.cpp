// Fuzz target: parameter requests on an open instance.  Each input is a
// run of set, get and information requests with any name (the interface's
// own names with any suffix, or any text, or none) and any value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hostlayer/host_control.h"
#include "support/fuzz_values.h"
#include "support/fuzz_world.h"

namespace {

constexpr int kMaxRequests = 24;
constexpr int32_t kGetRoom = 256;  // the host's room for answers

std::vector<std::string> known_names;

void LearnNames() {
  // Additional, read-only and write-only parameter lists.
  for (const int32_t query : {4, 13, 14}) {
    std::vector<hostlayer::Value> values;
    if (hacq_fuzz::TheDriver().Info(query, nullptr, &values) != H_MSG_OK) continue;
    for (const hostlayer::Value& value : values) {
      if (const auto* name = std::get_if<std::string>(&value)) known_names.push_back(*name);
    }
  }
  if (known_names.empty()) hacq_fuzz::Fail("the interface lists no parameters");
}

std::string Name(FuzzedDataProvider& data, hacq_fuzz::ValueMaker& maker) {
  static const char* const kSuffixes[] = {"", "_values", "_range", "_description", "_category"};
  if (data.ConsumeBool()) return maker.Text();
  std::string name = known_names[data.ConsumeIntegralInRange<size_t>(0, known_names.size() - 1)];
  const size_t suffix = data.ConsumeIntegralInRange<size_t>(0, std::size(kSuffixes));
  name += suffix < std::size(kSuffixes) ? kSuffixes[suffix] : data.ConsumeRandomLengthString(8);
  return name;
}

// Every answered value must be one the host can copy.
void CheckAnswer(Herror status, const ParamValue* values, int32_t count) {
  if (status > H_MSG_OK) return;
  if (count < 0 || count > kGetRoom) hacq_fuzz::Fail("answer count outside the host's room");
  size_t text_bytes = 0;
  for (int32_t i = 0; i < count; ++i) {
    const ParamValue& value = values[i];
    if (value.type == PV_STRING) {
      if (value.par.s == nullptr) hacq_fuzz::Fail("null text in an answer");
      text_bytes += std::strlen(value.par.s);
    } else if (value.type != PV_INTEGER && value.type != PV_FLOAT) {
      hacq_fuzz::Fail("answer with an unknown type code");
    }
  }
  volatile size_t keep = text_bytes;
  (void)keep;
}

void Request(FuzzedDataProvider& data, hacq_fuzz::ValueMaker& maker, FGInstance* inst) {
  FGClass& table = hacq_fuzz::TheDriver().fg_class();
  const Hproc_handle proc = hostlayer::Driver::ProcHandle();
  const int kind = data.ConsumeIntegralInRange<int>(0, 2);
  if (kind == 2) {
    const int32_t query = data.ConsumeIntegral<int32_t>();
    std::vector<hostlayer::Value> values;
    const Herror status = hacq_fuzz::TheDriver().Info(query, nullptr, &values);
    if (status == hostlayer::kErrBadAnswer)
      hacq_fuzz::Fail("information answer broke the contract");
    return;
  }
  const bool null_name = data.ConsumeIntegralInRange<int>(0, 31) == 0;
  const std::string name = null_name ? std::string() : Name(data, maker);
  const char* name_ptr = null_name ? nullptr : name.c_str();
  if (kind == 0) {
    const ParamValue value = maker.Value();
    table.SetParam(proc, inst, name_ptr, &value);
  } else {
    const auto answer = std::make_unique<ParamValue[]>(kGetRoom);
    int32_t count = 0;
    const Herror status = table.GetParam(proc, inst, name_ptr, answer.get(), &count);
    CheckAnswer(status, answer.get(), count);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  hacq_fuzz::StartWorld();
  LearnNames();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  {
    hostlayer::OpenParams params;
    params.device = data.ConsumeBool() ? hacq_fuzz::kMonoKey : hacq_fuzz::kColorKey;
    std::unique_ptr<hostlayer::Instance> instance;
    if (hacq_fuzz::TheDriver().Open(params, &instance) != H_MSG_OK) {
      hacq_fuzz::Fail("a default open failed");
    }
    hacq_fuzz::ValueMaker maker(data);
    for (int i = 0; i < kMaxRequests && data.remaining_bytes() > 0; ++i) {
      Request(data, maker, instance->raw());
    }
    if (instance->Close() != H_MSG_OK) hacq_fuzz::Fail("close failed after parameter requests");
  }
  hacq_fuzz::FinishRun();
  return 0;
}
