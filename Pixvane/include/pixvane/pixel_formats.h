// GenICam pixel-format names, codes and memory layouts, shared by the
// conversion library and the simulated camera SDK (header-only).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "conversion.h"

namespace pixvane {

enum class Layout : uint8_t {
  Mono,         // one sample per pixel, 8 or 16 bits in memory (little endian)
  MonoPacked,   // GigE Vision packed: 2 pixels in 3 bytes, high bits in bytes 0 and 2
  MonoP,        // PFNC "p": continuous LSB-first bit stream of `bits` per pixel
  Bayer,        // as Mono, with a colour filter pattern
  BayerPacked,  // as MonoPacked
  BayerP,       // as MonoP
  Rgb,          // R, G, B bytes
  Bgr,          // B, G, R bytes
  Rgba,         // R, G, B, A bytes
  Bgra,         // B, G, R, A bytes
  Yuyv,         // Y0 U Y1 V
  Uyvy,         // U Y0 V Y1
};

// Colour of the filter at the top-left 2x2 cell, read row by row.
enum class BayerPattern : uint8_t { None, GR, RG, GB, BG };

struct PixelFormatInfo {
  std::string_view name;
  uint32_t code;
  Layout layout;
  uint8_t bits;  // significant bits per sample (8 for the colour formats)
  BayerPattern pattern;
};

inline constexpr PixelFormatInfo kPixelFormats[] = {
    {"Mono8", PXV_Mono8, Layout::Mono, 8, BayerPattern::None},
    {"Mono10", PXV_Mono10, Layout::Mono, 10, BayerPattern::None},
    {"Mono12", PXV_Mono12, Layout::Mono, 12, BayerPattern::None},
    {"Mono14", PXV_Mono14, Layout::Mono, 14, BayerPattern::None},
    {"Mono16", PXV_Mono16, Layout::Mono, 16, BayerPattern::None},
    {"Mono10Packed", PXV_Mono10Packed, Layout::MonoPacked, 10, BayerPattern::None},
    {"Mono12Packed", PXV_Mono12Packed, Layout::MonoPacked, 12, BayerPattern::None},
    {"Mono10p", PXV_Mono10p, Layout::MonoP, 10, BayerPattern::None},
    {"Mono12p", PXV_Mono12p, Layout::MonoP, 12, BayerPattern::None},
    {"BayerGR8", PXV_BayerGR8, Layout::Bayer, 8, BayerPattern::GR},
    {"BayerRG8", PXV_BayerRG8, Layout::Bayer, 8, BayerPattern::RG},
    {"BayerGB8", PXV_BayerGB8, Layout::Bayer, 8, BayerPattern::GB},
    {"BayerBG8", PXV_BayerBG8, Layout::Bayer, 8, BayerPattern::BG},
    {"BayerGR10", PXV_BayerGR10, Layout::Bayer, 10, BayerPattern::GR},
    {"BayerRG10", PXV_BayerRG10, Layout::Bayer, 10, BayerPattern::RG},
    {"BayerGB10", PXV_BayerGB10, Layout::Bayer, 10, BayerPattern::GB},
    {"BayerBG10", PXV_BayerBG10, Layout::Bayer, 10, BayerPattern::BG},
    {"BayerGR12", PXV_BayerGR12, Layout::Bayer, 12, BayerPattern::GR},
    {"BayerRG12", PXV_BayerRG12, Layout::Bayer, 12, BayerPattern::RG},
    {"BayerGB12", PXV_BayerGB12, Layout::Bayer, 12, BayerPattern::GB},
    {"BayerBG12", PXV_BayerBG12, Layout::Bayer, 12, BayerPattern::BG},
    {"BayerGR16", PXV_BayerGR16, Layout::Bayer, 16, BayerPattern::GR},
    {"BayerRG16", PXV_BayerRG16, Layout::Bayer, 16, BayerPattern::RG},
    {"BayerGB16", PXV_BayerGB16, Layout::Bayer, 16, BayerPattern::GB},
    {"BayerBG16", PXV_BayerBG16, Layout::Bayer, 16, BayerPattern::BG},
    {"BayerGR10Packed", PXV_BayerGR10Packed, Layout::BayerPacked, 10, BayerPattern::GR},
    {"BayerRG10Packed", PXV_BayerRG10Packed, Layout::BayerPacked, 10, BayerPattern::RG},
    {"BayerGB10Packed", PXV_BayerGB10Packed, Layout::BayerPacked, 10, BayerPattern::GB},
    {"BayerBG10Packed", PXV_BayerBG10Packed, Layout::BayerPacked, 10, BayerPattern::BG},
    {"BayerGR12Packed", PXV_BayerGR12Packed, Layout::BayerPacked, 12, BayerPattern::GR},
    {"BayerRG12Packed", PXV_BayerRG12Packed, Layout::BayerPacked, 12, BayerPattern::RG},
    {"BayerGB12Packed", PXV_BayerGB12Packed, Layout::BayerPacked, 12, BayerPattern::GB},
    {"BayerBG12Packed", PXV_BayerBG12Packed, Layout::BayerPacked, 12, BayerPattern::BG},
    {"BayerGR10p", PXV_BayerGR10p, Layout::BayerP, 10, BayerPattern::GR},
    {"BayerRG10p", PXV_BayerRG10p, Layout::BayerP, 10, BayerPattern::RG},
    {"BayerGB10p", PXV_BayerGB10p, Layout::BayerP, 10, BayerPattern::GB},
    {"BayerBG10p", PXV_BayerBG10p, Layout::BayerP, 10, BayerPattern::BG},
    {"BayerGR12p", PXV_BayerGR12p, Layout::BayerP, 12, BayerPattern::GR},
    {"BayerRG12p", PXV_BayerRG12p, Layout::BayerP, 12, BayerPattern::RG},
    {"BayerGB12p", PXV_BayerGB12p, Layout::BayerP, 12, BayerPattern::GB},
    {"BayerBG12p", PXV_BayerBG12p, Layout::BayerP, 12, BayerPattern::BG},
    {"RGB8", PXV_RGB8, Layout::Rgb, 8, BayerPattern::None},
    {"BGR8", PXV_BGR8, Layout::Bgr, 8, BayerPattern::None},
    {"RGBa8", PXV_RGBa8, Layout::Rgba, 8, BayerPattern::None},
    {"BGRa8", PXV_BGRa8, Layout::Bgra, 8, BayerPattern::None},
    {"YUV422_8", PXV_YUV422_8, Layout::Yuyv, 8, BayerPattern::None},
    {"YUV422_8_UYVY", PXV_YUV422_8_UYVY, Layout::Uyvy, 8, BayerPattern::None},
};

constexpr const PixelFormatInfo* FindPixelFormat(uint32_t code) {
  for (const auto& f : kPixelFormats)
    if (f.code == code) return &f;
  return nullptr;
}

constexpr const PixelFormatInfo* FindPixelFormat(std::string_view name) {
  for (const auto& f : kPixelFormats)
    if (f.name == name) return &f;
  return nullptr;
}

// Bytes that one row of `width` pixels occupies, without row padding.
constexpr uint64_t RowBytes(const PixelFormatInfo& f, uint64_t width) {
  switch (f.layout) {
    case Layout::Mono:
    case Layout::Bayer:
      return width * (f.bits > 8 ? 2 : 1);
    case Layout::MonoPacked:
    case Layout::BayerPacked:
      return (width * 3 + 1) / 2;
    case Layout::MonoP:
    case Layout::BayerP:
      return (width * f.bits + 7) / 8;
    case Layout::Rgb:
    case Layout::Bgr:
      return width * 3;
    case Layout::Rgba:
    case Layout::Bgra:
      return width * 4;
    case Layout::Yuyv:
    case Layout::Uyvy:
      return width * 2;
  }
  return 0;
}

}  // namespace pixvane
