// Row kernels written once over a vector type V, compiled in each
// instruction-set unit with that unit's V (a type local to the unit, so the
// instantiations never merge across units).  V supplies, for N byte lanes:
//   Load, Store, Set1 (bytes), Set1W (16-bit), Avg (rounded byte mean),
//   And, Xor, SubB, AlternateBytes(first_set) (a lane Mask),
//   Blend(mask, if_set, if_clear), OrXor(a,b,c) = a|(b^c), AndXor(a,b,c) = a&(b^c),
//   AddW, SrliW<k>, MulAddPairs (unsigned bytes times signed byte
//   weights, adjacent products summed into 16-bit lanes),
//   StoreBgr(dst, b, g, r) writing 3N bytes, StoreGrayBgr(dst, gray),
//   Msb16<shift>(src): N samples from 2N bytes of 16-bit values,
//   PackedMsb(src): N samples from 3N/2 bytes of GigE Vision packed pairs.
// Every kernel matches the portable kernel of the same job byte for byte.
#pragma once

#include <cstdint>

#include "kernels.h"
#include "pixel_math.h"

namespace pixvane {

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

template <class V>
typename V::Reg Twice(typename V::Reg v) {
  return V::AddW(v, v);
}

// Luma weights of one Bayer row for the lanes of even and odd bytes.
// G's weight, 150, exceeds a signed byte, so it is applied as 75 twice.
template <class V>
struct LumaWeights {
  typename V::Reg even_own, even_other, odd_own, odd_other, even_half_g, odd_half_g, rounding;

  explicit LumaWeights(bool red_row) {
    const uint16_t own = static_cast<uint16_t>(red_row ? kLumaR : kLumaB);
    const uint16_t other = static_cast<uint16_t>(red_row ? kLumaB : kLumaR);
    even_own = V::Set1W(own);
    even_other = V::Set1W(other);
    odd_own = V::Set1W(static_cast<uint16_t>(own << 8));
    odd_other = V::Set1W(static_cast<uint16_t>(other << 8));
    even_half_g = V::Set1W(kLumaG / 2);
    odd_half_g = V::Set1W((kLumaG / 2) << 8);
    rounding = V::Set1W(128);
  }
};

// Luma of N demosaiced pixels from column x without building their colour
// planes: the same rounded channel values, weighted lane by lane.
// kFirstGreen: lane 0 (an even byte) has a green filter.
template <class V, bool kFirstGreen>
typename V::Reg BayerLumaVector(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                                uint32_t x, const LumaWeights<V>& w) {
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
  // Green pixel: its own sample is G, horz the row's colour, vert the other.
  // Other pixel: its own sample is the row's colour, cross G, diag the other.
  typename V::Reg even, odd;
  if constexpr (kFirstGreen) {
    even = V::AddW(V::AddW(Twice<V>(V::MulAddPairs(c, w.even_half_g)), V::MulAddPairs(horz, w.even_own)),
                   V::AddW(V::MulAddPairs(vert, w.even_other), w.rounding));
    odd = V::AddW(V::AddW(V::MulAddPairs(c, w.odd_own), Twice<V>(V::MulAddPairs(cross, w.odd_half_g))),
                  V::AddW(V::MulAddPairs(diag, w.odd_other), w.rounding));
  } else {
    even = V::AddW(V::AddW(V::MulAddPairs(c, w.even_own), Twice<V>(V::MulAddPairs(cross, w.even_half_g))),
                   V::AddW(V::MulAddPairs(diag, w.even_other), w.rounding));
    odd = V::AddW(V::AddW(Twice<V>(V::MulAddPairs(c, w.odd_half_g)), V::MulAddPairs(horz, w.odd_own)),
                  V::AddW(V::MulAddPairs(vert, w.odd_other), w.rounding));
  }
  // Each sum is luma x 256: even bytes take the even sums' high byte.
  return V::Blend(V::AlternateBytes(false), odd, V::template SrliW<8>(even));
}

template <class V, bool kToBgr>
void BayerRow(const uint8_t* up, const uint8_t* cur, const uint8_t* down, uint8_t* dst,
              uint32_t width, BayerRowKind kind) {
  constexpr uint32_t N = V::N;
  const auto span = kToBgr ? DemosaicSpanToBgr : DemosaicSpanToMono;
  if (width < N + 2) return span(up, cur, down, dst, width, kind, 0, width);
  // Vectors start at odd columns, so one lane pattern serves the whole row.
  const bool first_green = !kind.green_first;
  const auto green = V::AlternateBytes(first_green);
  const LumaWeights<V> weights(kind.red_row);
  auto vector_at = [&](uint32_t x) {
    if constexpr (kToBgr) {
      const DemosaicedVector<V> p = DemosaicVector<V>(up, cur, down, x, green, kind.red_row);
      V::StoreBgr(dst + 3 * x, p.b, p.g, p.r);
    } else {
      V::Store(dst + x, first_green ? BayerLumaVector<V, true>(up, cur, down, x, weights)
                                    : BayerLumaVector<V, false>(up, cur, down, x, weights));
    }
  };
  span(up, cur, down, dst, width, kind, 0, 1);
  uint32_t x = 1;
  for (; x + N < width; x += N) vector_at(x);
  // The last vector overlaps the previous one and ends before the mirrored
  // edge column; recomputed pixels come out the same.
  uint32_t last = width - 1 - N;
  last -= (last & 1u) ^ 1u;
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
  for (uint32_t x = 0;; x += N) {
    if (x + N > width) x = width - N;  // overlap the last full vector
    V::Store(dst + x, V::template Msb16<kShift>(src + 2 * x));
    if (x + N == width) break;
  }
}

template <class V>
void PackedRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr uint32_t N = V::N;
  const uint32_t pairs_end = width & ~1u;
  uint32_t done = 0;
  if (pairs_end >= N) {
    for (uint32_t x = 0;; x += N) {
      if (x + N > pairs_end) x = pairs_end - N;  // N is even: stays on a pair
      V::Store(dst + x, V::PackedMsb(src + x / 2 * 3));
      if (x + N == pairs_end) break;
    }
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
  for (uint32_t x = 0;; x += N) {
    if (x + N > width) x = width - N;
    V::StoreGrayBgr(dst + 3 * x, V::Load(src + x));
    if (x + N == width) break;
  }
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
