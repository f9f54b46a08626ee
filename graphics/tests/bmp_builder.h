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

struct TBmpSpec {
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
inline TBytes MakeBmp(const TBmpSpec& spec) {
  bool old = spec.headerSize == 12;
  bool masksInHeader = spec.headerSize >= 52;
  std::size_t maskBytes = masksInHeader ? 0 : spec.masks.size() * 4;
  std::size_t offset = 14 + spec.headerSize + maskBytes + spec.colors.size() * (old ? 3 : 4);
  TBytes out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(offset + spec.pixels.size()));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(offset));
  Put32(out, static_cast<std::uint32_t>(spec.headerSize));
  if (old) {
    Put16(out, static_cast<std::uint32_t>(spec.width));
    Put16(out, static_cast<std::uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(spec.bitCount));
  } else {
    Put32(out, static_cast<std::uint32_t>(spec.width));
    Put32(out, static_cast<std::uint32_t>(spec.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(spec.bitCount));
    Put32(out, spec.compression);
    Put32(out, spec.sizeImage);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, spec.clrUsed);
    Put32(out, 0);
    if (masksInHeader) {
      for (std::uint32_t mask : spec.masks) Put32(out, mask);
      while (out.size() < 14u + spec.headerSize) out.push_back(0);
    } else {
      for (std::uint32_t mask : spec.masks) Put32(out, mask);
    }
  }
  for (std::uint32_t color : spec.colors) {
    out.push_back(static_cast<std::uint8_t>(color));
    out.push_back(static_cast<std::uint8_t>(color >> 8));
    out.push_back(static_cast<std::uint8_t>(color >> 16));
    if (!old) out.push_back(0);
  }
  out.insert(out.end(), spec.pixels.begin(), spec.pixels.end());
  return out;
}

// One small file of each kind the reader knows, by name.
inline std::vector<std::pair<std::string, TBytes>> SampleBmps() {
  std::vector<std::pair<std::string, TBytes>> samples;
  TBmpSpec spec;
  spec.width = 10;
  spec.height = 2;
  spec.bitCount = 1;
  spec.colors = {0x102030, 0xF0E0D0};
  spec.pixels = {0b10000000, 0b01000000, 0, 0, 0b01010101, 0, 0, 0};
  samples.emplace_back("1 bit", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 3;
  spec.height = 2;
  spec.bitCount = 4;
  spec.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  spec.colors.resize(16, 0x808080);
  spec.pixels = {0x12, 0x30, 0, 0, 0x32, 0xF0, 0, 0};
  samples.emplace_back("4 bits", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 3;
  spec.height = -2;
  spec.colors = {0x112233, 0x445566, 0x778899};
  spec.clrUsed = 3;
  spec.pixels = {0, 1, 2, 0, 2, 2, 1, 0};
  samples.emplace_back("8 bits top-down", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 4;
  spec.height = 1;
  spec.bitCount = 16;
  spec.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
  samples.emplace_back("16 bits", MakeBmp(spec));

  spec.compression = 3;
  spec.masks = {0xF800, 0x07E0, 0x001F};
  spec.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x20, 0x00};
  samples.emplace_back("16 bits, bit fields", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 2;
  spec.height = 2;
  spec.bitCount = 24;
  spec.pixels = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0x10, 0x20, 0x30, 0, 0};
  samples.emplace_back("24 bits", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 2;
  spec.height = 1;
  spec.bitCount = 32;
  spec.pixels = {0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  samples.emplace_back("32 bits", MakeBmp(spec));

  spec.headerSize = 124;
  spec.compression = 3;
  spec.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  samples.emplace_back("32 bits, bit fields in a 124-byte header", MakeBmp(spec));

  spec = TBmpSpec();
  spec.headerSize = 12;
  spec.width = 2;
  spec.height = 2;
  spec.bitCount = 1;
  spec.colors = {0x0000FF, 0xFFFF00};
  spec.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
  samples.emplace_back("12-byte header", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 6;
  spec.height = 4;
  spec.compression = 1;
  spec.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  spec.clrUsed = 4;
  spec.pixels = {0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00,
                 0x02, 0x03, 0x00, 0x02, 0x01, 0x01, 0x0A, 0x02, 0x00, 0x01, 0x05, 0x01};
  spec.sizeImage = static_cast<std::uint32_t>(spec.pixels.size());
  samples.emplace_back("8-bit runs", MakeBmp(spec));

  spec = TBmpSpec();
  spec.width = 5;
  spec.height = 2;
  spec.bitCount = 4;
  spec.compression = 2;
  for (std::uint32_t i = 0; i < 16; ++i) spec.colors.push_back(i * 0x111111);
  spec.pixels = {0x05, 0x12, 0x00, 0x00, 0x00, 0x03, 0x34, 0x50, 0x00, 0x01};
  samples.emplace_back("4-bit runs", MakeBmp(spec));
  return samples;
}

}  // namespace tavelo::testing
