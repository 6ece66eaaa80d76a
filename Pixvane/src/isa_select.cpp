// Chooses the kernel table once per conversion from what the processor
// supports, unless a test forced a level.
#include <atomic>

#include "kernels.h"
#include "simd/isa.h"

namespace pixvane {
namespace {

struct KernelTables {
  Kernels by_level[simd::kIsaLevels];
  Isa best = simd::Best();

  KernelTables() {
    InstallPortableKernels(by_level[0]);
    by_level[1] = by_level[0];
    InstallSsse3Kernels(by_level[1]);
    by_level[2] = by_level[1];
    InstallAvx2Kernels(by_level[2]);
    by_level[3] = by_level[2];
    InstallAvx512Kernels(by_level[3]);
  }
};

const KernelTables& Tables() {
  static const KernelTables tables;
  return tables;
}

constexpr int kNotForced = -1;
std::atomic<int> forced_level{kNotForced};

}  // namespace

bool IsaSupported(Isa isa) noexcept {
  return simd::Supported(isa);
}

bool ForceIsa(Isa isa) noexcept {
  if (!simd::Supported(isa)) return false;
  forced_level.store(static_cast<int>(isa), std::memory_order_relaxed);
  return true;
}

void ResetIsa() noexcept {
  forced_level.store(kNotForced, std::memory_order_relaxed);
}

const Kernels& ActiveKernels() noexcept {
  const KernelTables& tables = Tables();
  const int forced = forced_level.load(std::memory_order_relaxed);
  const int level = forced == kNotForced ? static_cast<int>(tables.best) : forced;
  return tables.by_level[level];
}

}  // namespace pixvane
