#include "open_params.h"

#include <cstring>
#include <limits>
#include <string>

#include "hostlayer/host_control.h"

namespace hostlayer::detail {
namespace {

constexpr int32_t kFieldInterlaced = 2;
constexpr int32_t kFieldProgressive = 4;

bool SameWord(const std::string& text, const char* word) {
  const size_t length = std::strlen(word);
  if (text.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(word[i])) return false;
  }
  return true;
}

bool IsDefault(const Value& value) {
  if (const auto* integer = std::get_if<int64_t>(&value)) return *integer == -1;
  if (const auto* real = std::get_if<double>(&value)) return *real == -1.0;
  return SameWord(std::get<std::string>(value), "default");
}

Herror ResolveInteger(const Value& value, int32_t fallback, int32_t* out) {
  if (IsDefault(value)) {
    *out = fallback;
    return H_MSG_OK;
  }
  const auto* integer = std::get_if<int64_t>(&value);
  if (integer == nullptr || *integer < std::numeric_limits<int32_t>::min() ||
      *integer > std::numeric_limits<int32_t>::max()) {
    return kErrBadArgument;
  }
  *out = static_cast<int32_t>(*integer);
  return H_MSG_OK;
}

Herror ResolveField(const Value& value, int32_t fallback, int32_t* out) {
  if (const auto* word = std::get_if<std::string>(&value); word != nullptr && !IsDefault(value)) {
    if (SameWord(*word, "interlaced")) {
      *out = kFieldInterlaced;
    } else if (SameWord(*word, "progressive")) {
      *out = kFieldProgressive;
    } else {
      return kErrBadArgument;
    }
    return H_MSG_OK;
  }
  return ResolveInteger(value, fallback, out);
}

// Copies a text into a fixed record array; a text that does not fit is
// refused rather than cut.
Herror ResolveText(const Value& value, const char (&fallback)[FG_STRING_LEN],
                   char (&out)[FG_STRING_LEN]) {
  std::string text;
  if (IsDefault(value)) {
    text.assign(fallback, strnlen(fallback, FG_STRING_LEN - 1));
  } else if (const auto* word = std::get_if<std::string>(&value)) {
    text = *word;
  } else if (const auto* integer = std::get_if<int64_t>(&value)) {
    text = std::to_string(*integer);  // device 0 passed as a number
  } else {
    return kErrBadArgument;
  }
  if (text.size() >= FG_STRING_LEN) return kErrBadArgument;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return H_MSG_OK;
}

Herror ResolveTrigger(const Value& value, bool fallback, bool* out) {
  if (IsDefault(value)) {
    *out = fallback;
  } else if (const auto* word = std::get_if<std::string>(&value)) {
    if (!SameWord(*word, "true") && !SameWord(*word, "false")) return kErrBadArgument;
    *out = SameWord(*word, "true");
  } else if (const auto* integer = std::get_if<int64_t>(&value);
             integer != nullptr && (*integer == 0 || *integer == 1)) {
    *out = *integer == 1;
  } else {
    return kErrBadArgument;
  }
  return H_MSG_OK;
}

}  // namespace

Herror ResolveOpenParams(const OpenParams& params, const FGClass& defaults, FGInstance* fginst) {
  // The application's 10th open parameter is the generic list (kept by the
  // Instance); the record's gain slot takes the interface's default gain.
  fginst->gain = defaults.gain;
  const Herror statuses[] = {
      ResolveInteger(params.horizontal_resolution, defaults.horizontal_resolution,
                     &fginst->horizontal_resolution),
      ResolveInteger(params.vertical_resolution, defaults.vertical_resolution,
                     &fginst->vertical_resolution),
      ResolveInteger(params.image_width, defaults.image_width, &fginst->image_width),
      ResolveInteger(params.image_height, defaults.image_height, &fginst->image_height),
      ResolveInteger(params.start_row, defaults.start_row, &fginst->start_row),
      ResolveInteger(params.start_column, defaults.start_column, &fginst->start_column),
      ResolveField(params.field, defaults.field, &fginst->field),
      ResolveInteger(params.bits_per_channel, defaults.bits_per_channel, &fginst->bits_per_channel),
      ResolveText(params.color_space, defaults.color_space, fginst->color_space),
      ResolveTrigger(params.external_trigger, defaults.external_trigger, &fginst->external_trigger),
      ResolveText(params.camera_type, defaults.camera_type, fginst->camera_type),
      ResolveText(params.device, defaults.device, fginst->device),
      ResolveInteger(params.port, defaults.port, &fginst->port),
      ResolveInteger(params.line_in, defaults.line_in, &fginst->line_in),
  };
  for (const Herror status : statuses) {
    if (status != H_MSG_OK) return status;
  }
  return H_MSG_OK;
}

}  // namespace hostlayer::detail
