#include "simd/isa.h"

#include <initializer_list>

namespace simd {

bool Supported(Isa isa) noexcept {
#if defined(__x86_64__) || defined(__i386__)
  switch (isa) {
    case Isa::Portable:
      return true;
    case Isa::Ssse3:
      return __builtin_cpu_supports("ssse3");
    case Isa::Avx2:
      return __builtin_cpu_supports("avx2");
    case Isa::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx2");
  }
  return false;
#else
  return isa == Isa::Portable;
#endif
}

Isa Best() noexcept {
  Isa best = Isa::Portable;
  for (const Isa isa : {Isa::Ssse3, Isa::Avx2, Isa::Avx512}) {
    if (Supported(isa)) best = isa;
  }
  return best;
}

}  // namespace simd
