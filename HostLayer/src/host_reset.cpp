#include "host_state.h"

namespace hostlayer {

void Reset() {
  detail::ResetFaults();
  detail::ResetBlockCounters();
  detail::ResetGlobals();
  detail::ResetTracing();
}

}  // namespace hostlayer
