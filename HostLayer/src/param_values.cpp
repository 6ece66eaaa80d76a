#include "param_values.h"

#include "hostlayer/host_control.h"

namespace hostlayer::detail {

ParamValue ToParamValue(const Value& value, std::string* text) {
  ParamValue converted{};
  if (const auto* integer = std::get_if<int64_t>(&value)) {
    converted.type = PV_INTEGER;
    converted.par.l = *integer;
  } else if (const auto* real = std::get_if<double>(&value)) {
    converted.type = PV_FLOAT;
    converted.par.d = *real;
  } else {
    *text = std::get<std::string>(value);
    converted.type = PV_STRING;
    converted.par.s = text->data();
  }
  return converted;
}

Herror CopyValues(const ParamValue* values, int32_t count, std::vector<Value>* out) {
  std::vector<Value> copied;
  copied.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const ParamValue& value = values[i];
    if (value.type == PV_INTEGER) {
      copied.emplace_back(value.par.l);
    } else if (value.type == PV_FLOAT) {
      copied.emplace_back(value.par.d);
    } else if (value.type == PV_STRING && value.par.s != nullptr) {
      copied.emplace_back(std::string(value.par.s));
    } else {
      return kErrBadAnswer;
    }
  }
  if (out != nullptr) *out = std::move(copied);
  return H_MSG_OK;
}

}  // namespace hostlayer::detail
