// Chooses the kernel table once per conversion from what the processor
// supports, unless a test forced a level.
#include <atomic>

#include "kernels.h"

namespace pixvane {
namespace {

bool CpuHas(Isa isa) {
#if defined(__x86_64__) || defined(__i386__)
  switch (isa) {
    case Isa::Portable: return true;
    case Isa::Ssse3: return __builtin_cpu_supports("ssse3");
    case Isa::Avx2: return __builtin_cpu_supports("avx2");
    case Isa::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx2");
  }
  return false;
#else
  return isa == Isa::Portable;
#endif
}

struct KernelTables {
  Kernels by_level[4];
  Isa best = Isa::Portable;

  KernelTables() {
    InstallPortableKernels(by_level[0]);
    by_level[1] = by_level[0];
    InstallSsse3Kernels(by_level[1]);
    by_level[2] = by_level[1];
    InstallAvx2Kernels(by_level[2]);
    by_level[3] = by_level[2];
    InstallAvx512Kernels(by_level[3]);
    for (Isa isa : {Isa::Ssse3, Isa::Avx2, Isa::Avx512})
      if (CpuHas(isa)) best = isa;
  }
};

const KernelTables& Tables() {
  static const KernelTables tables;
  return tables;
}

constexpr int kNotForced = -1;
std::atomic<int> forced_level{kNotForced};

}  // namespace

bool IsaSupported(Isa isa) noexcept { return CpuHas(isa); }

bool ForceIsa(Isa isa) noexcept {
  if (!CpuHas(isa)) return false;
  forced_level.store(static_cast<int>(isa), std::memory_order_relaxed);
  return true;
}

void ResetIsa() noexcept { forced_level.store(kNotForced, std::memory_order_relaxed); }

const Kernels& ActiveKernels() noexcept {
  const KernelTables& tables = Tables();
  const int forced = forced_level.load(std::memory_order_relaxed);
  const int level = forced == kNotForced ? static_cast<int>(tables.best) : forced;
  return tables.by_level[level];
}

}  // namespace pixvane
