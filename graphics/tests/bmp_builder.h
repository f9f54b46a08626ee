// BMP files built byte by byte as the format lays them out, for the tests of both trees.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavelo::testing {

using TBytes = std::vector<std::uint8_t>;

inline void Put16(TBytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void Put32(TBytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

struct TBmpLayout {
  int headerSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitCount = 8;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> colors;  // 0xRRGGBB
  TBytes pixels;
  std::vector<std::uint32_t> masks;   // inside the header when it is long enough, else after it
  std::uint32_t clrUsed = 0;
  std::uint32_t sizeImage = 0;
};

// A BMP file, byte by byte as the format lays it out.
inline TBytes MakeBmp(const TBmpLayout& layout) {
  bool old = layout.headerSize == 12;
  bool masksInHeader = layout.headerSize >= 52;
  std::size_t maskBytes = masksInHeader ? 0 : layout.masks.size() * 4;
  std::size_t offset = 14 + layout.headerSize + maskBytes + layout.colors.size() * (old ? 3 : 4);
  TBytes out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(offset + layout.pixels.size()));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(offset));
  Put32(out, static_cast<std::uint32_t>(layout.headerSize));
  if (old) {
    Put16(out, static_cast<std::uint32_t>(layout.width));
    Put16(out, static_cast<std::uint32_t>(layout.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(layout.bitCount));
  } else {
    Put32(out, static_cast<std::uint32_t>(layout.width));
    Put32(out, static_cast<std::uint32_t>(layout.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(layout.bitCount));
    Put32(out, layout.compression);
    Put32(out, layout.sizeImage);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, layout.clrUsed);
    Put32(out, 0);
    if (masksInHeader) {
      for (std::uint32_t mask : layout.masks) Put32(out, mask);
      while (out.size() < 14u + layout.headerSize) out.push_back(0);
    } else {
      for (std::uint32_t mask : layout.masks) Put32(out, mask);
    }
  }
  for (std::uint32_t color : layout.colors) {
    out.push_back(static_cast<std::uint8_t>(color));
    out.push_back(static_cast<std::uint8_t>(color >> 8));
    out.push_back(static_cast<std::uint8_t>(color >> 16));
    if (!old) out.push_back(0);
  }
  out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
  return out;
}

// One small file of each kind the reader knows, by name.
inline std::vector<std::pair<std::string, TBytes>> SampleBmps() {
  std::vector<std::pair<std::string, TBytes>> samples;
  TBmpLayout layout;
  layout.width = 10;
  layout.height = 2;
  layout.bitCount = 1;
  layout.colors = {0x102030, 0xF0E0D0};
  layout.pixels = {0b10000000, 0b01000000, 0, 0, 0b01010101, 0, 0, 0};
  samples.emplace_back("1 bit", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = 4;
  layout.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  layout.colors.resize(16, 0x808080);
  layout.pixels = {0x12, 0x30, 0, 0, 0x32, 0xF0, 0, 0};
  samples.emplace_back("4 bits", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 3;
  layout.height = -2;
  layout.colors = {0x112233, 0x445566, 0x778899};
  layout.clrUsed = 3;
  layout.pixels = {0, 1, 2, 0, 2, 2, 1, 0};
  samples.emplace_back("8 bits top-down", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 4;
  layout.height = 1;
  layout.bitCount = 16;
  layout.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
  samples.emplace_back("16 bits", MakeBmp(layout));

  layout.compression = 3;
  layout.masks = {0xF800, 0x07E0, 0x001F};
  layout.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x20, 0x00};
  samples.emplace_back("16 bits, bit fields", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 2;
  layout.height = 2;
  layout.bitCount = 24;
  layout.pixels = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0x10, 0x20, 0x30, 0, 0};
  samples.emplace_back("24 bits", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 2;
  layout.height = 1;
  layout.bitCount = 32;
  layout.pixels = {0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  samples.emplace_back("32 bits", MakeBmp(layout));

  layout.headerSize = 124;
  layout.compression = 3;
  layout.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  samples.emplace_back("32 bits, bit fields in a 124-byte header", MakeBmp(layout));

  layout = TBmpLayout();
  layout.headerSize = 12;
  layout.width = 2;
  layout.height = 2;
  layout.bitCount = 1;
  layout.colors = {0x0000FF, 0xFFFF00};
  layout.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
  samples.emplace_back("12-byte header", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 6;
  layout.height = 4;
  layout.compression = 1;
  layout.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  layout.clrUsed = 4;
  layout.pixels = {0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00,
                 0x02, 0x03, 0x00, 0x02, 0x01, 0x01, 0x0A, 0x02, 0x00, 0x01, 0x05, 0x01};
  layout.sizeImage = static_cast<std::uint32_t>(layout.pixels.size());
  samples.emplace_back("8-bit runs", MakeBmp(layout));

  layout = TBmpLayout();
  layout.width = 5;
  layout.height = 2;
  layout.bitCount = 4;
  layout.compression = 2;
  for (std::uint32_t i = 0; i < 16; ++i) layout.colors.push_back(i * 0x111111);
  layout.pixels = {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0x34, 0x50, 0x00, 0x01};
  samples.emplace_back("4-bit runs", MakeBmp(layout));
  return samples;
}

}  // namespace tavelo::testing
