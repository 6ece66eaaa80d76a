#include "fuzz_values.h"

#include <bit>
#include <cstdint>

namespace hacq_fuzz {
namespace {

constexpr size_t kShortText = 2 * FG_STRING_LEN;
constexpr size_t kHugeText = size_t{1} << 20;

}  // namespace

std::string ValueMaker::Text() {
  switch (data_.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      return data_.ConsumeRandomLengthString(kShortText);
    case 1: {
      // Exactly as long as a record field with its terminator, or one more.
      const size_t length = FG_STRING_LEN - 1 + data_.ConsumeIntegralInRange<size_t>(0, 1);
      return std::string(length, static_cast<char>(data_.ConsumeIntegralInRange<int>(1, 255)));
    }
    default: {
      std::string unit = data_.ConsumeRandomLengthString(16);
      if (unit.empty()) unit = "x";
      const size_t length = data_.ConsumeIntegralInRange<size_t>(kShortText, kHugeText);
      std::string text;
      text.reserve(length + unit.size());
      while (text.size() < length) text += unit;
      return text;
    }
  }
}

char* ValueMaker::KeptText() {
  if (data_.ConsumeIntegralInRange<int>(0, 15) == 0) return nullptr;
  texts_.push_back(Text());
  return texts_.back().data();
}

ParamValue ValueMaker::Value() {
  ParamValue value{};
  switch (data_.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      value.type = PV_INTEGER;
      value.par.l = data_.ConsumeIntegral<int64_t>();
      break;
    case 1:
      value.type = PV_FLOAT;
      value.par.d = std::bit_cast<double>(data_.ConsumeIntegral<uint64_t>());
      break;
    case 2:
      value.type = PV_STRING;
      value.par.s = KeptText();
      break;
    default:
      // A type code the host never sends, with a payload that is no pointer.
      value.type = data_.ConsumeIntegral<int32_t>();
      if (value.type == PV_STRING) value.type = 0;
      value.par.l = data_.ConsumeIntegral<int64_t>();
      break;
  }
  return value;
}

}  // namespace hacq_fuzz
