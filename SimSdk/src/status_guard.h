// Keeps C++ exceptions (an allocation failing) from crossing the C ABI:
// an operation that throws answers -1 instead.
#pragma once

#include <cstdint>

#include "camera_sdk.h"

namespace simsdk {

template <typename Body>
int32_t Guarded(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return SDK_FAIL;
  }
}

}  // namespace simsdk
