// Writes the BMP fuzz target's seeds into a folder: one small file of each kind the reader
// knows, so that the search starts from every path.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/bmpformat.h"

using namespace tavelo;

namespace {

using TBytes = std::vector<std::uint8_t>;

void Save(const std::string& folder, const std::string& name, const TBytes& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TBmpImage Image(int width, int height, int bitCount, std::uint32_t compression = kBiRgb) {
  TBmpImage image;
  image.Header.Width = width;
  image.Header.Height = height;
  image.Header.BitCount = static_cast<std::uint16_t>(bitCount);
  image.Header.Compression = compression;
  if (bitCount <= 8)
    for (std::size_t i = 0; i < BmpDefaultColorCount(bitCount); ++i)
      image.Colors.push_back(TRgbQuad{static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i * 13),
                                      static_cast<std::uint8_t>(i * 29), 0});
  image.Bits.resize(image.Stride() * static_cast<std::size_t>(image.Height()));
  for (std::size_t i = 0; i < image.Bits.size(); ++i) image.Bits[i] = static_cast<std::uint8_t>(i * 37 + 11);
  return image;
}

// The headers of a 6 x 3 image turned into those of compressed rows, a table of four
// colours, then the runs.
TBytes Rle(int bitCount, std::uint32_t compression, const TBytes& runs) {
  TBytes written = WriteBmp(Image(6, 3, bitCount));
  TBytes bytes(written.begin(), written.begin() + 54);
  bytes[30] = static_cast<std::uint8_t>(compression);
  bytes[34] = static_cast<std::uint8_t>(runs.size());
  bytes[35] = 0;
  bytes[46] = 4;
  for (int i = 0; i < 4; ++i) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(i * 60), 0x20, 0x40, 0});
  bytes.insert(bytes.end(), runs.begin(), runs.end());
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::string folder = argv[1];
  Save(folder, "mono.bmp", WriteBmp(Image(13, 3, 1)));
  Save(folder, "nibbles.bmp", WriteBmp(Image(5, 4, 4)));
  Save(folder, "bytes.bmp", WriteBmp(Image(7, -3, 8)));
  TBmpImage fields = Image(3, 2, 16, kBiBitFields);
  fields.Masks[0] = 0xF800;
  fields.Masks[1] = 0x07E0;
  fields.Masks[2] = 0x001F;
  Save(folder, "fields16.bmp", WriteBmp(fields));
  Save(folder, "rgb24.bmp", WriteBmp(Image(3, 3, 24)));
  Save(folder, "rgb32.bmp", WriteBmp(Image(2, -2, 32)));
  TBmpImage old = Image(4, 2, 8);
  old.OldFormat = true;
  Save(folder, "old.bmp", WriteBmp(old));
  Save(folder, "rle8.bmp", Rle(8, kBiRle8, {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}));
  Save(folder, "rle4.bmp", Rle(4, kBiRle4, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1}));
  return 0;
}
