// Conversions between the application's Value and the host's ParamValue.
#pragma once

#include <string>
#include <vector>

#include "hostlayer/host_driver.h"

namespace hostlayer::detail {

// A string value points into *text, which must outlive the ParamValue.
ParamValue ToParamValue(const Value& value, std::string* text);

// Copies count values (strings included); kErrBadAnswer for a null text or
// a type code other than 1, 2, 4.
Herror CopyValues(const ParamValue* values, int32_t count, std::vector<Value>* out);

}  // namespace hostlayer::detail
