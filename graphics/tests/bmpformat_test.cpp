// BMP reading, every format pixel by pixel from files built byte by byte; the checks that keep
// untrusted bytes in bounds; writing back; transparency masks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/tests/test_support.h"
#include "graphics/bmpformat.h"
#include "graphics/tests/bmp_builder.h"

namespace tavelo::testing {
namespace {

using testing::MakeBmp;
using testing::TBmpLayout;
using TBytes = testing::TBytes;

// Colours as 0x00BBGGRR, the way Pixel answers.
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;

std::vector<std::vector<std::uint32_t>> Pixels(const TBmpImage& image) {
  std::vector<std::vector<std::uint32_t>> rows(image.Height());
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) rows[y].push_back(image.Pixel(x, y));
  return rows;
}

using TRows = std::vector<std::vector<std::uint32_t>>;

TEST(BmpRead, IndexedFormatsBottomUpAndTopDown) {
  // 1 bit, 10 x 2, bottom-up: the second stored row is the top one.
  TBmpLayout mono;
  mono.width = 10;
  mono.height = 2;
  mono.bitCount = 1;
  mono.colors = {0x000000, 0xFFFFFF};
  mono.pixels = {0b10000000, 0b01000000, 0, 0,   // bottom row: x 0 and 9 white
                 0b01010101, 0b00000000, 0, 0};  // top row: odd x white
  TBmpImage image = ReadBmp(MakeBmp(mono));
  EXPECT_EQ(Pixels(image), (TRows{{kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kBlack},
                                  {kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite}}));
  EXPECT_EQ(image.Colors.size(), 2u);

  // 4 bits, 3 x 2, high nibble first.
  TBmpLayout nibbles;
  nibbles.width = 3;
  nibbles.height = 2;
  nibbles.bitCount = 4;
  nibbles.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  nibbles.colors.resize(16, 0x808080);
  nibbles.pixels = {0x12, 0x30, 0, 0, 0x32, 0xF0, 0, 0};
  image = ReadBmp(MakeBmp(nibbles));
  EXPECT_EQ(Pixels(image), (TRows{{kBlue, kGreen, 0x808080}, {kRed, kGreen, kBlue}}));

  // 8 bits, 3 x 2, top-down, a table of three named colours.
  TBmpLayout bytes;
  bytes.width = 3;
  bytes.height = -2;
  bytes.colors = {0x112233, 0x445566, 0x778899};
  bytes.clrUsed = 3;
  bytes.pixels = {0, 1, 2, 0, 2, 2, 1, 0};
  image = ReadBmp(MakeBmp(bytes));
  EXPECT_TRUE(image.TopDown());
  EXPECT_EQ(Pixels(image), (TRows{{0x332211, 0x665544, 0x998877}, {0x998877, 0x998877, 0x665544}}));
}

TEST(BmpRead, DirectFormatsAndBitFields) {
  // 16 bits without masks: 5-5-5, each field's high bits repeated into the low ones.
  TBmpLayout rgb555;
  rgb555.width = 4;
  rgb555.height = 1;
  rgb555.bitCount = 16;
  rgb555.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
  TBmpImage image = ReadBmp(MakeBmp(rgb555));
  EXPECT_EQ(Pixels(image), (TRows{{kRed, kGreen, kBlue, 0x848484}}));

  // 16 bits with the 5-6-5 masks after a 40-byte header.
  TBmpLayout rgb565 = rgb555;
  rgb565.compression = kBiBitFields;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x20, 0x00};
  image = ReadBmp(MakeBmp(rgb565));
  EXPECT_EQ(image.Masks[0], 0xF800u);
  EXPECT_EQ(Pixels(image), (TRows{{kRed, kGreen, kBlue, 0x000400}}));

  // 24 bits, 2 x 2, rows padded to 8 bytes.
  TBmpLayout rgb24;
  rgb24.width = 2;
  rgb24.height = 2;
  rgb24.bitCount = 24;
  rgb24.pixels = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0,       // bottom: blue, green
                  0, 0, 0xFF, 0x10, 0x20, 0x30, 0, 0};  // top: red, (0x30, 0x20, 0x10)
  image = ReadBmp(MakeBmp(rgb24));
  EXPECT_EQ(Pixels(image), (TRows{{kRed, 0x102030}, {kBlue, kGreen}}));

  // 32 bits plain, and with masks inside a 124-byte header whose tail is skipped.
  TBmpLayout rgb32;
  rgb32.width = 2;
  rgb32.height = 1;
  rgb32.bitCount = 32;
  rgb32.pixels = {0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  image = ReadBmp(MakeBmp(rgb32));
  EXPECT_EQ(Pixels(image), (TRows{{0x010203, kWhite}}));

  TBmpLayout v5 = rgb32;
  v5.headerSize = 124;
  v5.compression = kBiBitFields;
  v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  image = ReadBmp(MakeBmp(v5));
  EXPECT_EQ(Pixels(image), (TRows{{0x030201, kWhite}}));
  EXPECT_EQ(image.Header.Size, 40u);
  TBmpLayout v4 = v5;
  v4.headerSize = 108;
  image = ReadBmp(MakeBmp(v4));
  EXPECT_EQ(Pixels(image), (TRows{{0x030201, kWhite}}));
  EXPECT_EQ(image.Header.Size, 40u);
}

TEST(BmpRead, OldHeaderWithThreeByteColoursAndWritesBackTheSameWay) {
  TBmpLayout old;
  old.headerSize = 12;
  old.width = 2;
  old.height = 2;
  old.bitCount = 1;
  old.colors = {0x0000FF, 0xFFFF00};
  old.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
  TBytes bytes = MakeBmp(old);
  TBmpImage image = ReadBmp(bytes);
  EXPECT_TRUE(image.OldFormat);
  EXPECT_EQ(image.Header.Size, 40u);
  EXPECT_EQ(Pixels(image), (TRows{{0x00FFFF, 0xFF0000}, {0xFF0000, 0x00FFFF}}));
  EXPECT_EQ(WriteBmp(image), bytes);
}

TEST(BmpRead, RunLengthEightBitsDecodedAndKeptAsRead) {
  TBmpLayout rle;
  rle.width = 6;
  rle.height = 4;
  rle.compression = kBiRle8;
  rle.colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  rle.clrUsed = 4;
  rle.pixels = {
      0x03, 0x01,                          // bottom row: three of colour 1
      0x00, 0x03, 0x02, 0x03, 0x01, 0x00,  // three given pixels, padded to a word
      0x00, 0x00,                          // end of line
      0x00, 0x02, 0x02, 0x00,              // move right by 2
      0x02, 0x03,                          // two of colour 3
      0x00, 0x02, 0x01, 0x01,              // move right by 1 and up by 1
      0x0A, 0x02,                          // ten of colour 2, cut at the right edge
      0x00, 0x01,                          // end of the image
      0x05, 0x01};                         // never reached
  rle.sizeImage = static_cast<std::uint32_t>(rle.pixels.size());
  TBytes bytes = MakeBmp(rle);
  TBmpImage image = ReadBmp(bytes);
  const std::uint32_t k0 = 0x000000, k1 = kRed, k2 = kGreen, k3 = kBlue;
  EXPECT_EQ(Pixels(image), (TRows{{k0, k0, k0, k0, k0, k0},
                                  {k0, k0, k0, k0, k0, k2},
                                  {k0, k0, k3, k3, k0, k0},
                                  {k1, k1, k1, k2, k3, k1}}));
  EXPECT_EQ(image.Header.Compression, kBiRgb);
  EXPECT_EQ(image.SaveStream, bytes);
  EXPECT_EQ(WriteBmp(image), bytes);
}

TEST(BmpRead, RunLengthFourBits) {
  TBmpLayout rle;
  rle.width = 5;
  rle.height = 2;
  rle.bitCount = 4;
  rle.compression = kBiRle4;
  rle.colors.resize(16);
  for (std::uint32_t i = 0; i < 16; ++i) rle.colors[i] = i * 0x111111;
  rle.pixels = {0x05, 0x12,              // bottom row: 1 2 1 2 1
                0x00, 0x00,              // end of line
                0x00, 0x03, 0x34, 0x50,  // three given pixels: 3 4 5 (two bytes, no padding)
                0x00, 0x01};
  TBmpImage image = ReadBmp(MakeBmp(rle));
  auto grey = [](std::uint32_t i) { return i * 0x111111; };
  EXPECT_EQ(Pixels(image), (TRows{{grey(3), grey(4), grey(5), 0, 0}, {grey(1), grey(2), grey(1), grey(2), grey(1)}}));
}

TEST(BmpRead, AnythingButACorrectBmpRaisesTheSameError) {
  TBmpLayout good;
  good.width = 2;
  good.height = 2;
  good.colors = {0, 0xFFFFFF};
  good.pixels = TBytes(8, 1);
  const TBytes base = MakeBmp(good);
  auto expectInvalid = [](const TBytes& bytes) {
    EXPECT_RAISES(ReadBmp(bytes), EInvalidGraphic, "Image bitmap incorrecte");
  };

  TBytes bad = base;
  bad[0] = 'X';
  expectInvalid(bad);
  expectInvalid(TBytes(base.begin(), base.begin() + 10));  // shorter than the file header
  expectInvalid(TBytes(base.begin(), base.begin() + 20));  // shorter than the information header
  bad = base;
  bad[26] = 2;  // two planes
  expectInvalid(bad);
  bad = base;
  bad[14] = 20;  // a header size that is neither 12 nor at least 40
  expectInvalid(bad);
  bad = base;
  bad[14] = 108;  // longer than what is left
  expectInvalid(bad);
  bad = base;
  bad[28] = 7;  // bits per pixel
  expectInvalid(bad);
  bad = base;
  bad[30] = static_cast<std::uint8_t>(kBiRle4);  // 4-bit compression of 8-bit pixels
  expectInvalid(bad);
  bad = base;
  bad[30] = 5;  // embedded compressed image
  expectInvalid(bad);
  bad = base;
  bad[30] = static_cast<std::uint8_t>(kBiBitFields);  // bit fields on 8-bit pixels
  expectInvalid(bad);
  bad = base;
  bad[18] = 0;  // no width
  expectInvalid(bad);
  bad = base;
  bad[22] = 0;  // no height
  expectInvalid(bad);
  bad = base;
  bad[18] = 0xFF;  // 0x7FFF00FF x 2 pixels: a section far beyond any picture
  bad[21] = 0x7F;
  expectInvalid(bad);

  TBmpLayout fields;
  fields.width = 1;
  fields.height = 1;
  fields.bitCount = 32;
  fields.compression = kBiBitFields;
  TBytes noMasks = MakeBmp(fields);  // the three masks are missing
  expectInvalid(noMasks);

  TBmpLayout topDownRle;
  topDownRle.width = 1;
  topDownRle.height = -1;
  topDownRle.compression = kBiRle8;
  topDownRle.pixels = {0, 1};
  expectInvalid(MakeBmp(topDownRle));
}

TEST(BmpRead, CountsAreCappedByTheFormatAndByWhatIsLeft) {
  // A colour count beyond 2^bits reads 2 entries; the rest are pixel bytes.
  TBmpLayout mono;
  mono.width = 8;
  mono.height = 1;
  mono.bitCount = 1;
  mono.colors = {0x000000, 0xFFFFFF};
  mono.clrUsed = 300;
  mono.pixels = {0x0F, 0, 0, 0};
  TBmpImage image = ReadBmp(MakeBmp(mono));
  EXPECT_EQ(image.Colors.size(), 2u);
  EXPECT_EQ(image.Pixel(4, 0), kWhite);
  EXPECT_EQ(image.Header.ClrUsed, 2u);

  // A colour count beyond the bytes left reads what is there, and the pixels are all zero.
  TBmpLayout eight;
  eight.width = 2;
  eight.height = 2;
  eight.colors = {0x00FF00, 0x0000FF, 0xFF0000};
  eight.clrUsed = 1000;
  image = ReadBmp(MakeBmp(eight));
  EXPECT_EQ(image.Colors.size(), 3u);
  EXPECT_EQ(image.Pixel(1, 1), kGreen);

  // Pixel bytes: the least of the declared size, what is left and the section.
  TBmpLayout shortRows;
  shortRows.width = 4;
  shortRows.height = 2;
  shortRows.colors = {0, 0xFFFFFF};
  shortRows.clrUsed = 2;
  shortRows.pixels = {1, 1, 1, 1, 1, 1};  // 6 of 8 bytes
  image = ReadBmp(MakeBmp(shortRows));
  EXPECT_EQ(Pixels(image), (TRows{{kWhite, kWhite, kBlack, kBlack}, {kWhite, kWhite, kWhite, kWhite}}));
  shortRows.sizeImage = 5;
  image = ReadBmp(MakeBmp(shortRows));
  EXPECT_EQ(Pixels(image), (TRows{{kWhite, kBlack, kBlack, kBlack}, {kWhite, kWhite, kWhite, kWhite}}));
  shortRows.sizeImage = 4000;
  shortRows.pixels = TBytes(20, 1);
  image = ReadBmp(MakeBmp(shortRows));
  EXPECT_EQ(image.Bits.size(), 8u);

  EXPECT_TRUE(ReadBmp({}).Empty());
  EXPECT_TRUE(WriteBmp(TBmpImage()).empty());
}

TEST(BmpRead, HeaderAloneTellsTheSectionBeforeDecoding) {
  TBmpLayout layout;
  layout.width = 1000;
  layout.height = -700;
  layout.bitCount = 24;
  TBmpInfoHeader header = ReadBmpHeader(MakeBmp(layout));
  EXPECT_EQ(header.Width, 1000);
  EXPECT_EQ(header.Height, -700);
  EXPECT_EQ(BmpStride(header.Width, header.BitCount), 3000u);
  TBytes notBmp = {'B', 'X'};
  EXPECT_RAISES(ReadBmpHeader(notBmp), EInvalidGraphic, "Image bitmap incorrecte");
}

TEST(BmpWrite, RebuiltFilesReadBackToTheSamePixelsAndTable) {
  // A canonical 8-bit file comes back byte for byte.
  TBmpLayout eight;
  eight.width = 3;
  eight.height = 2;
  eight.colors.resize(256);
  for (std::uint32_t i = 0; i < 256; ++i) eight.colors[i] = i * 0x010101;
  eight.pixels = {0, 128, 255, 0, 7, 8, 9, 0};
  eight.sizeImage = 8;
  TBytes bytes = MakeBmp(eight);
  TBmpImage image = ReadBmp(bytes);
  EXPECT_EQ(WriteBmp(image), bytes);

  // Bit fields: the masks follow the header and the pixel offset counts them.
  TBmpLayout fields;
  fields.width = 2;
  fields.height = -1;
  fields.bitCount = 16;
  fields.compression = kBiBitFields;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixels = {0x00, 0xF8, 0x1F, 0x00};
  image = ReadBmp(MakeBmp(fields));
  TBytes written = WriteBmp(image);
  EXPECT_EQ(written[10], 14 + 40 + 12);
  TBmpImage again = ReadBmp(written);
  EXPECT_EQ(Pixels(again), Pixels(image));
  EXPECT_TRUE(again.TopDown());

  // A table cut short by the file keeps the entries it has, and names their count.
  TBmpLayout cut;
  cut.width = 1;
  cut.height = 1;
  cut.colors = {0x0000FF, 0x00FF00};
  image = ReadBmp(MakeBmp(cut));
  again = ReadBmp(WriteBmp(image));
  EXPECT_EQ(again.Colors, image.Colors);
  EXPECT_EQ(again.Header.ClrUsed, 2u);

  // A decoded compressed image that changed (its save stream dropped) is written uncompressed.
  TBmpLayout rle;
  rle.width = 2;
  rle.height = 1;
  rle.compression = kBiRle8;
  rle.colors = {0, 0xFFFFFF};
  rle.clrUsed = 2;
  rle.pixels = {0x02, 0x01, 0x00, 0x01};
  image = ReadBmp(MakeBmp(rle));
  image.SaveStream.clear();
  again = ReadBmp(WriteBmp(image));
  EXPECT_EQ(again.Header.Compression, kBiRgb);
  EXPECT_EQ(Pixels(again), (TRows{{kWhite, kWhite}}));
}

TEST(BmpMask, TransparentPixelsAreSetBitsInTopDownRows) {
  TBmpLayout eight;
  eight.width = 9;
  eight.height = 2;
  eight.colors = {0x000000, 0xFF00FF, 0xFF00FF, 0x00FF00};
  eight.clrUsed = 4;
  eight.pixels = {1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0,   // bottom row: x 0 and 8 transparent
                  3, 1, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0};  // top row: x 1 transparent
  TBmpImage image = ReadBmp(MakeBmp(eight));
  TBytes mask = BuildBmpMask(image.View(), 0xFF00FF, 2);
  EXPECT_EQ(mask, (TBytes{0x40, 0x00, 0x80, 0x80}));

  // Direct colours compare at the image's precision: 5 bits per channel here.
  TBmpLayout rgb555;
  rgb555.width = 2;
  rgb555.height = 1;
  rgb555.bitCount = 16;
  rgb555.pixels = {0x10, 0x42, 0x00, 0x7C};
  image = ReadBmp(MakeBmp(rgb555));
  EXPECT_EQ(BuildBmpMask(image.View(), 0x808080, 4), (TBytes{0x80, 0, 0, 0}));
  EXPECT_EQ(BuildBmpMask(image.View(), image.Pixel(0, 0), 4), (TBytes{0x80, 0, 0, 0}));
  EXPECT_EQ(BuildBmpMask(image.View(), 0x0000FF, 4), (TBytes{0x40, 0, 0, 0}));
}

TEST(BmpMake, NewImagesAreWhiteAndResizingKeepsTheCommonPartAndTheFormat) {
  TBmpImage mono = NewBmp(3, 2, 1);
  EXPECT_EQ(mono.Colors, (std::vector<TRgbQuad>{{0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0}}));
  EXPECT_EQ(Pixels(mono), (TRows{{kWhite, kWhite, kWhite}, {kWhite, kWhite, kWhite}}));
  EXPECT_EQ(Pixels(NewBmp(2, 1, 16)), (TRows{{kWhite, kWhite}}));
  EXPECT_EQ(NewBmp(2, 1, 7).Header.BitCount, 32);
  EXPECT_TRUE(NewBmp(0, 5, 32).Empty());

  // A top-down 4-bit image grows: its pixels stay where they were, the new ones take the
  // table's brightest entry.
  TBmpLayout nibbles;
  nibbles.width = 2;
  nibbles.height = -2;
  nibbles.bitCount = 4;
  nibbles.colors = {0x000000, 0xFF0000, 0xEEEEEE, 0x0000FF};
  nibbles.clrUsed = 4;
  nibbles.pixels = {0x13, 0, 0, 0, 0x31, 0, 0, 0};
  TBmpImage image = ReadBmp(MakeBmp(nibbles));
  TBmpImage grown = ResizeBmp(image.View(), 3, 3);
  EXPECT_TRUE(grown.TopDown());
  EXPECT_EQ(grown.Colors, image.Colors);
  const std::uint32_t light = 0xEEEEEE;
  EXPECT_EQ(Pixels(grown), (TRows{{kRed, kBlue, light}, {kBlue, kRed, light}, {light, light, light}}));
  TBmpImage shrunk = ResizeBmp(image.View(), 1, 1);
  EXPECT_EQ(Pixels(shrunk), (TRows{{kRed}}));
  EXPECT_EQ(shrunk.Header.SizeImage, 4u);

  // Monochrome keeps white only; 32 bits keeps every colour.
  TBmpImage mixed = NewBmp(3, 1, 32);
  mixed.Bits[0] = 0;  // the first pixel loses its blue: yellow
  TBmpImage converted = ConvertBmp(mixed.View(), 1);
  EXPECT_EQ(Pixels(converted), (TRows{{kBlack, kWhite, kWhite}}));
  EXPECT_EQ(Pixels(ConvertBmp(image.View(), 32)), Pixels(image));
}

}  // namespace
}  // namespace tavelo::testing
