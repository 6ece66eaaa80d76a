// Row kernels written once over a vector type V, compiled in each
// instruction-set unit with that unit's V (a type local to the unit, so the
// instantiations never merge across units).  V supplies, for N byte lanes:
//   Load, Store, Set1 (bytes), Set1W (16-bit), Avg (rounded byte mean),
//   And, Xor, SubB, AlternateBytes(first_set) (a lane Mask),
//   Blend(mask, if_set, if_clear), OrXor(a,b,c) = a|(b^c), AndXor(a,b,c) = a&(b^c),
//   AddW, MulLoW (16-bit), SrliW<k>, MulAddPairs (unsigned bytes times signed byte
//   weights, adjacent products summed into 16-bit lanes),
//   StoreBgr(dst, b, g, r) writing 3N bytes, StoreGrayBgr(dst, gray),
//   Msb16<shift>(src): N samples from 2N bytes of 16-bit values,
//   PackedMsb(src): N samples from 3N/2 bytes of GigE Vision packed pairs.
// Every kernel matches the portable kernel of the same job byte for byte.
#pragma once

#include <cstdint>

#include "kernels.h"
#include "pixel_math.h"
#include "simd/vector_loop.h"

namespace pixvane {

using simd::AlignedColumn;
using simd::CoverRow;

// Mean of four bytes rounded like (a+b+c+d+2)>>2, from the two pair means
// that the caller already has: their mean rounds up once too often exactly
// when a pair sum was odd and the two pair means differ in their low bit.
template <class V>
typename V::Reg Mean4(typename V::Reg a, typename V::Reg b, typename V::Reg c, typename V::Reg d,
                      typename V::Reg ab, typename V::Reg cd) {
  const auto excess = V::And(V::AndXor(V::OrXor(V::Xor(a, b), c, d), ab, cd), V::Set1(1));
  return V::SubB(V::Avg(ab, cd), excess);
}

template <class V>
struct DemosaicedVector {
  typename V::Reg b, g, r;
};

// Demosaics N pixels from column x; reads columns x-1 .. x+N of each row.
// `green` marks the lanes whose filter is green.
template <class V>
DemosaicedVector<V> DemosaicVector(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                                   uint32_t x, typename V::Mask green, bool red_row) {
  const auto c = V::Load(cur + x);
  const auto l = V::Load(cur + x - 1);
  const auto r = V::Load(cur + x + 1);
  const auto u = V::Load(up + x);
  const auto d = V::Load(down + x);
  const auto ul = V::Load(up + x - 1);
  const auto ur = V::Load(up + x + 1);
  const auto dl = V::Load(down + x - 1);
  const auto dr = V::Load(down + x + 1);
  const auto horz = V::Avg(l, r);
  const auto vert = V::Avg(u, d);
  const auto cross = Mean4<V>(l, r, u, d, horz, vert);
  const auto top = V::Avg(ul, ur);
  const auto bottom = V::Avg(dl, dr);
  const auto diag = Mean4<V>(ul, ur, dl, dr, top, bottom);
  const auto own = V::Blend(green, horz, c);
  const auto other = V::Blend(green, vert, diag);
  const auto g = V::Blend(green, c, cross);
  return red_row ? DemosaicedVector<V>{other, g, own} : DemosaicedVector<V>{own, g, other};
}

// Luma weights of one Bayer row for a green pixel and the pixel after it.
// G's weight, 150, exceeds a signed byte, so on bytes it is applied as 75
// twice.
template <class V>
struct LumaWeights {
  typename V::Reg green_half_g, green_own_other, other_own, g, other, rounding, two;

  explicit LumaWeights(bool red_row) {
    const uint32_t own = red_row ? kLumaR : kLumaB;
    const uint32_t other_colour = red_row ? kLumaB : kLumaR;
    green_half_g = V::Set1W(kLumaG / 2);
    green_own_other = V::Set1W(static_cast<uint16_t>(own | other_colour << 8));
    other_own = V::Set1W(static_cast<uint16_t>(own << 8));
    g = V::Set1W(kLumaG);
    other = V::Set1W(static_cast<uint16_t>(other_colour));
    rounding = V::Set1W(128);
    two = V::Set1W(2);
  }
};

// Luma of N demosaiced pixels from column x, a green one; reads columns
// x-1 .. x+N+1.  Each 16-bit lane holds a green pixel (even byte) and the
// non-green pixel after it (odd byte); blending two loads one column apart
// brings the samples a pixel needs into its lane, where they are summed
// exactly.  The rounded channel values are the portable kernel's, so the
// luma is too.
template <class V>
typename V::Reg BayerLumaVector(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                                uint32_t x, const LumaWeights<V>& w) {
  const auto odd = V::AlternateBytes(false);
  const auto cl = V::Load(cur + x - 1);
  const auto c = V::Load(cur + x);
  const auto cr = V::Load(cur + x + 1);
  const auto c2 = V::Load(cur + x + 2);
  const auto ul = V::Load(up + x - 1);
  const auto u = V::Load(up + x);
  const auto u2 = V::Load(up + x + 2);
  const auto dl = V::Load(down + x - 1);
  const auto d = V::Load(down + x);
  const auto dr = V::Load(down + x + 1);
  const auto ones = V::Set1(1);
  auto quarter = [&](typename V::Reg pairs_a, typename V::Reg pairs_b) {
    const auto sum = V::AddW(V::MulAddPairs(pairs_a, ones), V::MulAddPairs(pairs_b, ones));
    return V::template SrliW<2>(V::AddW(sum, w.two));
  };
  // Green pixel: its sample, the row's colour left and right (even bytes),
  // the other colour above and below (odd bytes, one column to the right).
  const auto green_g = V::MulAddPairs(c, w.green_half_g);
  const auto green =
      V::AddW(V::AddW(V::AddW(green_g, green_g), w.rounding),
              V::MulAddPairs(V::Blend(odd, V::Avg(ul, dl), V::Avg(cl, cr)), w.green_own_other));
  // The pixel after it: its sample, G from the four beside it, the other
  // colour from the four diagonal ones.
  const auto cross = quarter(V::Blend(odd, u, c), V::Blend(odd, d, c2));
  const auto diag = quarter(V::Blend(odd, dl, u), V::Blend(odd, dr, u2));
  const auto next = V::AddW(V::AddW(V::MulAddPairs(c, w.other_own), w.rounding),
                            V::AddW(V::MulLoW(cross, w.g), V::MulLoW(diag, w.other)));
  // Each sum is luma x 256: the pixel's byte is the sum's high byte.
  return V::Blend(odd, next, V::template SrliW<8>(green));
}

template <class V, bool kToBgr>
void BayerRow(const uint8_t* up, const uint8_t* cur, const uint8_t* down, uint8_t* dst,
              uint32_t width, BayerRowKind kind) {
  constexpr uint32_t N = V::N;
  const auto span = kToBgr ? DemosaicSpanToBgr : DemosaicSpanToMono;
  // Colour vectors read columns x-1 .. x+N, luma vectors one more.
  constexpr uint32_t kReach = kToBgr ? N + 1 : N + 2;
  if (width < kReach + 2) return span(up, cur, down, dst, width, kind, 0, width);
  // Every vector starts on columns of one parity, so one lane pattern
  // serves the row: colour vectors take that of the first aligned column,
  // luma vectors must start on green.
  uint32_t aligned = AlignedColumn < N, kToBgr ? 3 : 1 > (dst);
  const uint32_t parity = kToBgr ? aligned & 1u : (kind.green_first ? 0u : 1u);
  if ((aligned & 1u) != parity) ++aligned;
  const uint32_t head = 2 - parity;  // first column with a left neighbour
  if (aligned < head) aligned += N;
  const auto green = V::AlternateBytes((parity != 0) != kind.green_first);
  const LumaWeights<V> weights(kind.red_row);
  auto vector_at = [&](uint32_t x) {
    if constexpr (kToBgr) {
      const DemosaicedVector<V> p = DemosaicVector<V>(up, cur, down, x, green, kind.red_row);
      V::StoreBgr(dst + 3 * x, p.b, p.g, p.r);
    } else {
      V::Store(dst + x, BayerLumaVector<V>(up, cur, down, x, weights));
    }
  };
  span(up, cur, down, dst, width, kind, 0, head);
  vector_at(head);
  uint32_t x = aligned > head ? aligned : head + N;
  for (; x + kReach <= width; x += N) vector_at(x);
  // The last vector overlaps the previous one and reads no mirrored edge
  // column; recomputed pixels come out the same.
  uint32_t last = width - kReach;
  if ((last & 1u) != parity) --last;
  if (last + N > x) vector_at(last);
  span(up, cur, down, dst, width, kind, last + N, width);
}

template <class V, unsigned kShift>
void Mono16Row(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr uint32_t N = V::N;
  if (width < N) {
    for (uint32_t x = 0; x < width; ++x)
      dst[x] = static_cast<uint8_t>((src[2 * x] | (src[2 * x + 1] << 8)) >> kShift);
    return;
  }
  CoverRow<N, 1, 1>(dst, width,
                    [&](uint32_t x) { V::Store(dst + x, V::template Msb16<kShift>(src + 2 * x)); });
}

template <class V>
void PackedRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr uint32_t N = V::N;
  const uint32_t pairs_end = width & ~1u;
  uint32_t done = 0;
  if (pairs_end >= N) {
    // Vectors start on pairs.
    CoverRow<N, 1, 2>(dst, pairs_end,
                      [&](uint32_t x) { V::Store(dst + x, V::PackedMsb(src + x / 2 * 3)); });
    done = pairs_end;
  }
  for (uint32_t x = done; x < width; ++x) dst[x] = src[x / 2 * 3 + (x & 1u) * 2];
}

template <class V>
void GrayToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr uint32_t N = V::N;
  if (width < N) {
    for (uint32_t x = 0; x < width; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
    return;
  }
  CoverRow<N, 3, 1>(dst, width,
                    [&](uint32_t x) { V::StoreGrayBgr(dst + 3 * x, V::Load(src + x)); });
}

template <class V>
void InstallVectorKernels(Kernels& k) {
  k.mono10_to_8 = Mono16Row<V, 2>;
  k.mono12_to_8 = Mono16Row<V, 4>;
  k.mono14_to_8 = Mono16Row<V, 6>;
  k.mono16_to_8 = Mono16Row<V, 8>;
  k.packed_to_8 = PackedRow<V>;
  k.gray_to_bgr = GrayToBgrRow<V>;
  k.bayer_to_bgr = BayerRow<V, true>;
  k.bayer_to_mono = BayerRow<V, false>;
}

}  // namespace pixvane
