#include "tone_curve.h"

#include <cmath>

namespace simsdk {
namespace {

constexpr double kFull = 65535;
constexpr double kReferenceExposure = 10000;  // microseconds that give the scene's own levels

// Into [0, 1]; NaN (from an infinite gain or contrast) counts as 0.
double Unit(double v) {
  return v > 1 ? 1 : (v >= 0 ? v : 0);
}

}  // namespace

ToneCurve::ToneCurve(const FrameLayout& layout)
    : exposure_(layout.exposure_time / kReferenceExposure * std::pow(10.0, layout.gain / 20)),
      contrast_slope_(std::exp2((static_cast<double>(layout.contrast) - 50) / 50)),
      inverse_gamma_(layout.gamma > 0 ? 1 / layout.gamma : 1) {}

uint16_t ToneCurve::operator()(uint32_t level) const {
  double v = Unit(level / kFull * exposure_);
  v = Unit(0.5 + contrast_slope_ * (v - 0.5));
  v = std::pow(v, inverse_gamma_);
  return static_cast<uint16_t>(std::floor(Unit(v) * kFull + 0.5));
}

std::vector<uint16_t> ToneCurve::Table() const {
  std::vector<uint16_t> table(65536);
  for (uint32_t level = 0; level < table.size(); ++level) table[level] = (*this)(level);
  return table;
}

}  // namespace simsdk
