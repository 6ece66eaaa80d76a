#include "device/generic_parameters.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/contract_texts.h"
#include "base/records.h"

namespace {

constexpr int32_t kMinBuffers = 2;

void Report(const char* message) {
  if (HDoLowError) IOPrintErrorMessage(message);
}

// The host's "no generic parameters" marker: one value whose payload is
// the integer -1 or the double -1.0, whatever its type code says.
bool IsNoneMarker(const FGInstance& fginst) {
  if (fginst.num_generic != 1 || fginst.generic == nullptr) return false;
  int64_t as_integer = 0;
  double as_double = 0.0;
  std::memcpy(&as_integer, &fginst.generic[0].par, sizeof as_integer);
  std::memcpy(&as_double, &fginst.generic[0].par, sizeof as_double);
  return as_integer == -1 || as_double == -1.0;
}

void ReportWrongName(const char* text) {
  if (strnlen(text, kTextLen + 1) > static_cast<size_t>(kTextLen)) {
    Report(contract::kGenericWrongName);
    return;
  }
  char message[kTextLen + 32];
  std::snprintf(message, sizeof message, contract::kGenericWrongNameFormat, text);
  Report(message);
}

Herror ParseOne(const ParamValue& value, int32_t* num_buffers) {
  if (value.type != PV_STRING) {
    Report(contract::kGenericNotText);
    return H_ERR_FGPART;
  }
  const char* text = value.par.s;
  if (text == nullptr || text[0] == '\0') return H_MSG_OK;
  if (std::strstr(text, contract::kGenericBuffers) == nullptr) {
    ReportWrongName(text);
    return H_ERR_FGPARAM;
  }
  const char* equals = std::strchr(text, '=');
  if (equals == nullptr) {
    Report(contract::kGenericNoArgument);
    return H_ERR_FGPARV;
  }
  // Out-of-range numbers saturate and so fail the range check below.
  const long long requested = std::strtoll(equals + 1, nullptr, 10);
  if (requested < kMinBuffers || requested > kMaxBuffers) {
    Report(contract::kGenericBadValue);
    return H_ERR_FGPARV;
  }
  *num_buffers = static_cast<int32_t>(requested);
  return H_MSG_OK;
}

}  // namespace

Herror ParseGenericParameters(const FGInstance& fginst, int32_t* num_buffers) {
  if (IsNoneMarker(fginst) || fginst.generic == nullptr) return H_MSG_OK;
  for (int32_t i = 0; i < fginst.num_generic; ++i) {
    const Herror status = ParseOne(fginst.generic[i], num_buffers);
    if (status != H_MSG_OK) return status;
  }
  return H_MSG_OK;
}
