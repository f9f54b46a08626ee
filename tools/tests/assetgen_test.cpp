// The generated images as the program will read them: every header field and size, and the
// cells and pixels that the windows rely on.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Asset(const std::string& name) {
  std::ifstream in(std::string(TAVELO_ASSET_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned U8(const std::string& b, std::size_t at) { return static_cast<unsigned char>(b.at(at)); }
unsigned U16(const std::string& b, std::size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
std::uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }

// A BMP file's headers at offset `at`, checked field by field.
void ExpectBmp(const std::string& b, std::size_t at, std::uint32_t sizeField, std::uint32_t offset, int width,
               int height, int bits, std::uint32_t imageSize) {
  EXPECT_EQ(b.substr(at, 2), "BM");
  EXPECT_EQ(U32(b, at + 2), sizeField);
  EXPECT_EQ(U32(b, at + 6), 0u);
  EXPECT_EQ(U32(b, at + 10), offset);
  EXPECT_EQ(U32(b, at + 14), 40u);
  EXPECT_EQ(static_cast<int>(U32(b, at + 18)), width);
  EXPECT_EQ(static_cast<int>(U32(b, at + 22)), height);
  EXPECT_EQ(U16(b, at + 26), 1u);
  EXPECT_EQ(static_cast<int>(U16(b, at + 28)), bits);
  EXPECT_EQ(U32(b, at + 30), 0u);
  EXPECT_EQ(U32(b, at + 34), imageSize);
  EXPECT_EQ(U32(b, at + 46), 0u);  // the whole colour table is used
}

class ImageListPayloadTest : public ::testing::Test {
protected:
  static constexpr std::size_t kColour = 28, kMask = 28 + 14390, kColourBits = kColour + 1078, kMaskBits = kMask + 62;
  std::string b = Asset("toolbar.imagelist");

  // Cell (column, row) of the 4-column grid, pixel (x, y) from its top-left corner.
  unsigned ColourIndex(int image, int x, int y) const {
    int row = 207 - ((image / 4) * 16 + y);
    return U8(b, kColourBits + static_cast<std::size_t>(row * 64 + (image % 4) * 16 + x));
  }
  bool Transparent(int image, int x, int y) const {
    int row = 207 - ((image / 4) * 16 + y), column = (image % 4) * 16 + x;
    return (U8(b, kMaskBits + static_cast<std::size_t>(row * 8 + column / 8)) & (0x80 >> (column % 8))) != 0;
  }
  int Opaque(int image) const {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += !Transparent(image, x, y);
    return n;
  }
};

TEST_F(ImageListPayloadTest, HeaderAndBitmapsHaveThePlatformLayout) {
  ASSERT_EQ(b.size(), 16166u);
  EXPECT_EQ(b.substr(0, 2), "IL");
  EXPECT_EQ(U16(b, 2), 0x0101u);
  EXPECT_EQ(U16(b, 4), 45u);
  EXPECT_EQ(U16(b, 6), 49u);
  EXPECT_EQ(U16(b, 8), 4u);
  EXPECT_EQ(U16(b, 10), 16u);
  EXPECT_EQ(U16(b, 12), 16u);
  EXPECT_EQ(U32(b, 14), 0xFFFFFFFFu);
  EXPECT_EQ(U16(b, 18), 0x10FFu);
  for (std::size_t i = 20; i < 28; i += 2) EXPECT_EQ(U16(b, i), 0xFFFFu);
  // The file-size fields hold the pixel offsets, as the platform writes them.
  ExpectBmp(b, kColour, 1078, 1078, 64, 208, 8, 13312);
  ExpectBmp(b, kMask, 62, 62, 64, 208, 1, 1664);
  EXPECT_EQ(U32(b, kColour + 54), 0u);  // entry 0 is the black of transparent pixels
  EXPECT_EQ(U32(b, kMask + 54), 0u);
  EXPECT_EQ(U32(b, kMask + 58), 0xFFFFFFu);
  EXPECT_EQ(kMaskBits + 1664, 16144u);
  EXPECT_EQ(b.substr(16144), std::string(22, '\0'));
}

TEST_F(ImageListPayloadTest, TheCommandsImagesAreDrawnAndTheRestEmpty) {
  for (int image : {0, 1, 2, 6, 7, 8, 30, 43}) EXPECT_GT(Opaque(image), 40) << image;
  for (int image : {3, 4, 5, 9, 29, 31, 42, 44}) EXPECT_EQ(Opaque(image), 0) << image;
  // Quit is cell (3, 10): its door's top-left corner is black outline on pixel (1, 1).
  EXPECT_FALSE(Transparent(43, 1, 1));
  EXPECT_EQ(U32(b, kColour + 54 + 4 * ColourIndex(43, 1, 1)), 0u);
  EXPECT_TRUE(Transparent(43, 0, 0));
}

TEST_F(ImageListPayloadTest, TransparentPixelsAreBlack) {
  for (int image = 0; image < 45; ++image)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (Transparent(image, x, y)) {
          ASSERT_EQ(ColourIndex(image, x, y), 0u) << image << " " << x << "," << y;
        }
}

TEST(PicturePayloadTest, ABitmapOf102By102With256Colours) {
  std::string b = Asset("logo.picture");
  ASSERT_EQ(b.size(), 11698u);
  EXPECT_EQ(b.substr(0, 8), std::string("\x07TBitmap"));
  EXPECT_EQ(U32(b, 8), 11686u);
  ExpectBmp(b, 12, 11686, 1078, 102, 102, 8, 10608);
  const std::size_t bits = 12 + 1078;
  auto colour = [&](int x, int y) { return U32(b, 12 + 54 + 4 * U8(b, bits + static_cast<std::size_t>((101 - y) * 104 + x))); };
  // Drawn transparent, the bottom-left pixel's colour vanishes: the corners and the rows
  // under the mark, where the splash window writes the name, have that colour only.
  const std::uint32_t key = colour(0, 101);
  EXPECT_EQ(colour(0, 0), key);
  EXPECT_EQ(colour(101, 0), key);
  for (int y = 76; y < 102; ++y)
    for (int x = 0; x < 102; ++x) ASSERT_EQ(colour(x, y), key) << x << "," << y;
  int drawn = 0;
  for (int y = 0; y < 102; ++y)
    for (int x = 0; x < 102; ++x) drawn += colour(x, y) != key;
  EXPECT_GT(drawn, 3000);
  EXPECT_NE(colour(51, 36), key);
}

TEST(IconPayloadTest, ThreeSizesWithAlpha) {
  std::string b = Asset("tavelo.ico");
  ASSERT_GE(b.size(), 6u + 3 * 16);
  EXPECT_EQ(U16(b, 0), 0u);
  EXPECT_EQ(U16(b, 2), 1u);
  ASSERT_EQ(U16(b, 4), 3u);
  std::size_t expectedOffset = 6 + 3 * 16;
  const unsigned sizes[] = {48, 32, 16};
  for (std::size_t i = 0; i < 3; ++i) {
    std::size_t e = 6 + 16 * i;
    unsigned size = sizes[i];
    EXPECT_EQ(U8(b, e), size);
    EXPECT_EQ(U8(b, e + 1), size);
    EXPECT_EQ(U16(b, e + 4), 1u);
    EXPECT_EQ(U16(b, e + 6), 32u);
    std::uint32_t bytes = U32(b, e + 8), offset = U32(b, e + 12);
    EXPECT_EQ(offset, expectedOffset);
    EXPECT_EQ(bytes, 40 + size * size * 4 + ((size + 31) / 32 * 4) * size);
    EXPECT_EQ(U32(b, offset), 40u);
    EXPECT_EQ(U32(b, offset + 4), size);
    EXPECT_EQ(U32(b, offset + 8), 2 * size);
    EXPECT_EQ(U16(b, offset + 14), 32u);
    expectedOffset += bytes;
  }
  EXPECT_EQ(b.size(), expectedOffset);
}

TEST(CursorPayloadTest, SevenMonochromeCursorsWithTheirHotSpots) {
  const struct {
    int id;
    unsigned x, y;
  } kCursors[] = {{32761, 5, 0}, {32762, 8, 10}, {32763, 0, 0}, {32764, 15, 15},
                  {32765, 15, 15}, {32766, 0, 0}, {32767, 0, 0}};
  for (const auto& c : kCursors) {
    SCOPED_TRACE(c.id);
    std::string b = Asset(std::to_string(c.id) + ".cur");
    ASSERT_EQ(b.size(), 6u + 16 + 40 + 8 + 128 + 128);
    EXPECT_EQ(U16(b, 2), 2u);
    EXPECT_EQ(U16(b, 4), 1u);
    EXPECT_EQ(U8(b, 6), 32u);
    EXPECT_EQ(U8(b, 7), 32u);
    EXPECT_EQ(U16(b, 10), c.x);
    EXPECT_EQ(U16(b, 12), c.y);
    EXPECT_EQ(U32(b, 14), 40u + 8 + 256);
    EXPECT_EQ(U32(b, 18), 22u);
    EXPECT_EQ(U32(b, 26), 32u);
    EXPECT_EQ(U32(b, 30), 64u);
    EXPECT_EQ(U16(b, 36), 1u);
    EXPECT_EQ(U32(b, 62 + 4), 0xFFFFFFu);
  }
}

}  // namespace
