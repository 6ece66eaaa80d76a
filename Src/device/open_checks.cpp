#include "device/open_checks.h"

#include "base/contract_texts.h"
#include "base/text_match.h"

namespace {

// The divisor a resolution parameter asks for: the full size means 1.
int32_t DivisorAskedBy(int32_t resolution, int32_t full_size) {
  return resolution == full_size ? 1 : resolution;
}

bool ValidDivisor(int32_t divisor) {
  return divisor == 1 || divisor == 2 || divisor == 4;
}

// An image part of at least one pixel inside [0, limit).  Wide arithmetic:
// the sums of host-given values must not overflow.
bool PartFits(int32_t start, int32_t size, int32_t limit) {
  return start >= 0 && size >= 1 && int64_t{start} + size <= limit;
}

}  // namespace

Herror CheckOpenParameters(FGInstance& fginst, const InstanceRecord& inst) {
  if (static_cast<uint32_t>(fginst.port) > 3) return H_ERR_FGPORT;
  if (fginst.line_in != 0) return H_ERR_FGLINE;
  if (fginst.bits_per_channel != 8) return H_ERR_FGWB;
  if (EqualsIgnoreCase(inst.effective_color_space, contract::kColourGray)) {
    fginst.num_channels = 1;
  } else if (EqualsIgnoreCase(inst.effective_color_space, contract::kColourRgb)) {
    fginst.num_channels = 3;
  } else {
    return H_ERR_FGCS;
  }
  if (fginst.external_trigger) return H_ERR_FGEXTTRIG;
  if (fginst.field != 2 && fginst.field != 4) return H_ERR_FGFIELD;
  return H_MSG_OK;
}

Herror ComputeGeometry(FGInstance& fginst, int32_t width, int32_t height) {
  fginst.width_max = width;
  fginst.height_max = height;
  const int32_t horizontal = DivisorAskedBy(fginst.horizontal_resolution, width);
  const int32_t vertical = DivisorAskedBy(fginst.vertical_resolution, height);
  if (!ValidDivisor(horizontal) || !ValidDivisor(vertical)) return H_ERR_FGWR;
  fginst.horizontal_resolution = width / horizontal;
  fginst.vertical_resolution = height / vertical;
  fginst.resolution_mode = horizontal == 1 && vertical == 1 ? 0 : 3;
  if (fginst.image_width == 0) {
    fginst.image_width = static_cast<int32_t>(int64_t{fginst.horizontal_resolution} -
                                              2 * int64_t{fginst.start_column});
  }
  if (fginst.image_height == 0) {
    fginst.image_height =
        static_cast<int32_t>(int64_t{fginst.vertical_resolution} - 2 * int64_t{fginst.start_row});
  }
  // A negative start or an empty part would make the grab read outside its
  // buffer, so both are refused along with a part that does not fit.
  if (!PartFits(fginst.start_column, fginst.image_width, fginst.horizontal_resolution) ||
      !PartFits(fginst.start_row, fginst.image_height, fginst.vertical_resolution)) {
    return H_ERR_FGWP;
  }
  return H_MSG_OK;
}
