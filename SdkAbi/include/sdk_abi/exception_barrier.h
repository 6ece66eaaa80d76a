// Keeps C++ exceptions (an allocation failing) from crossing a C boundary:
// every entry point runs its body through Guarded, which answers the given
// failure value when the body throws.  Self-contained, for any library.
#pragma once

namespace sdkabi {

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

}  // namespace sdkabi
