// The camera's tone curve (sim_control.h publishes it): exposure and gain,
// saturation, contrast and gamma, from a scene level to a 16-bit sample.
#pragma once

#include <cstdint>
#include <vector>

#include "sim_control.h"

namespace simsdk {

class ToneCurve {
 public:
  explicit ToneCurve(const FrameLayout& layout);

  // Level 0..65535 to the 16-bit sample; a b-bit sample is its top b bits.
  uint16_t operator()(uint32_t level) const;

  // The curve at every level, for rendering whole frames.
  std::vector<uint16_t> Table() const;

 private:
  double exposure_;
  double contrast_slope_;
  double inverse_gamma_;
};

}  // namespace simsdk
