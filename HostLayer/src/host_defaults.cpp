// HFgGetDefaults: the 15 default open parameters of an interface record, in
// open-parameter order, as ONE host block: the ParamValue array followed by
// the texts its string values point at.  The caller frees it with HXFree.
#include <cstring>
#include <string>
#include <vector>

#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

namespace {

constexpr int32_t kDefaultCount = 15;
constexpr int32_t kFieldInterlaced = 2;
constexpr int32_t kFieldProgressive = 4;

// The record's texts are fixed arrays that a careless interface may leave
// unterminated; never read past them.
std::string FixedText(const char (&text)[FG_STRING_LEN]) {
  return std::string(text, strnlen(text, FG_STRING_LEN));
}

struct DefaultValue {
  int32_t type;
  int64_t integer = 0;
  double real = 0.0;
  std::string text;
};

DefaultValue Integer(int64_t value) {
  return {PV_INTEGER, value, 0.0, {}};
}
DefaultValue Real(double value) {
  return {PV_FLOAT, 0, value, {}};
}
DefaultValue Text(std::string value) {
  return {PV_STRING, 0, 0.0, std::move(value)};
}

DefaultValue Field(int32_t code) {
  if (code == kFieldInterlaced) return Text("interlaced");
  if (code == kFieldProgressive) return Text("progressive");
  return Integer(code);
}

std::vector<DefaultValue> DefaultsOf(const FGClass& fg) {
  return {Integer(fg.horizontal_resolution),
          Integer(fg.vertical_resolution),
          Integer(fg.image_width),
          Integer(fg.image_height),
          Integer(fg.start_row),
          Integer(fg.start_column),
          Field(fg.field),
          Integer(fg.bits_per_channel),
          Text(FixedText(fg.color_space)),
          Real(fg.gain),
          Text(fg.external_trigger ? "true" : "false"),
          Text(FixedText(fg.camera_type)),
          Text(FixedText(fg.device)),
          Integer(fg.port),
          Integer(fg.line_in)};
}

// Lays the values out in one block: array first, then the NUL-terminated texts.
Herror BuildBlock(const std::vector<DefaultValue>& defaults, ParamValue** out) {
  const size_t array_bytes = defaults.size() * sizeof(ParamValue);
  size_t total = array_bytes;
  for (const DefaultValue& value : defaults) {
    if (value.type == PV_STRING) total += value.text.size() + 1;
  }
  void* block = nullptr;
  const Herror status = detail::CreateBlock(total, false, &block);
  if (status != H_MSG_OK) return status;

  auto* values = static_cast<ParamValue*>(block);
  char* text_area = static_cast<char*>(block) + array_bytes;
  for (size_t i = 0; i < defaults.size(); ++i) {
    const DefaultValue& value = defaults[i];
    values[i].type = value.type;
    if (value.type == PV_INTEGER) {
      values[i].par.l = value.integer;
    } else if (value.type == PV_FLOAT) {
      values[i].par.d = value.real;
    } else {
      std::memcpy(text_area, value.text.c_str(), value.text.size() + 1);
      values[i].par.s = text_area;
      text_area += value.text.size() + 1;
    }
  }
  *out = values;
  return H_MSG_OK;
}

}  // namespace

extern "C" HOST_API Herror HFgGetDefaults(Hproc_handle, FGClass* fg, ParamValue** values,
                                          int32_t* num_values) {
  return boundary::Barrier(kErrNoMemory, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::GetDefaults)) return fault;
    if (fg == nullptr || values == nullptr || num_values == nullptr) return kErrBadArgument;
    const std::vector<DefaultValue> defaults = DefaultsOf(*fg);
    const Herror status = BuildBlock(defaults, values);
    if (status == H_MSG_OK) *num_values = kDefaultCount;
    return status;
  });
}
