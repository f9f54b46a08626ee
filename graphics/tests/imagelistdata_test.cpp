#include "graphics/imagelistdata.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "core/tests/test_support.h"

namespace tavelo {
namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes GeneratedList() {
  std::ifstream in(std::string(TAVELO_ASSET_DIR) + "/toolbar.imagelist", std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put16(TBytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(TBytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}
void Append32(TBytes& b, std::uint32_t v) {
  b.resize(b.size() + 4);
  Put32(b, b.size() - 4, v);
}

// A BMP file of zero pixels with a 40-byte (or the old 12-byte) header.
TBytes Bmp(int width, int height, int bits, bool oldHeader = false) {
  std::size_t colors = bits <= 8 ? std::size_t{1} << bits : 0;
  std::size_t header = oldHeader ? 12 : 40, entry = oldHeader ? 3 : 4;
  std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  std::size_t offset = 14 + header + colors * entry;
  TBytes b(offset + stride * static_cast<std::size_t>(height < 0 ? -height : height));
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  Put32(b, 10, static_cast<std::uint32_t>(offset));
  Put32(b, 14, static_cast<std::uint32_t>(header));
  if (oldHeader) {
    Put16(b, 18, static_cast<unsigned>(width));
    Put16(b, 20, static_cast<unsigned>(height));
    Put16(b, 22, 1);
    Put16(b, 24, static_cast<unsigned>(bits));
  } else {
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<unsigned>(bits));
  }
  return b;
}

// The older layout: the image file's size, the count, the image file, the mask file.
TBytes TwoBitmaps(const TBytes& image, std::int32_t count, const TBytes& mask) {
  TBytes b;
  Append32(b, static_cast<std::uint32_t>(image.size()));
  Append32(b, static_cast<std::uint32_t>(count));
  b.insert(b.end(), image.begin(), image.end());
  b.insert(b.end(), mask.begin(), mask.end());
  return b;
}

#define EXPECT_BAD_LIST(bytes, w, h) \
  EXPECT_RAISES(CheckImageListPayload(bytes, w, h), EReadError, "Erreur à la lecture des données ImageList du flux")

constexpr std::size_t kColour = 28, kMask = 28 + 14390;

TEST(ImageListPayloadCheckTest, TheGeneratedListIsThePlatformsStream) {
  TBytes b = GeneratedList();
  ASSERT_EQ(b.size(), 16166u);
  ASSERT_TRUE(IsImageListStream(b));
  TImageListPayload p = CheckImageListPayload(b, 16, 16);
  EXPECT_EQ(p.Form, TImageListPayload::PlatformStream);
  EXPECT_EQ(p.Count, 45);
  EXPECT_EQ(p.Header.Capacity, 49);
  EXPECT_EQ(p.Header.Growth, 4);
  EXPECT_EQ(p.Header.Flags, 0x10FF);
  EXPECT_EQ(p.Header.BkColor, 0xFFFFFFFFu);
  EXPECT_EQ(p.Header.Overlays[3], -1);
  EXPECT_EQ(p.Image.Offset, kColour);
  EXPECT_EQ(p.Image.Size, 14390u);
  EXPECT_EQ(p.Image.BitCount, 8);
  EXPECT_EQ(p.Mask.Offset, kMask);
  EXPECT_EQ(p.Mask.Size, 1726u);
  EXPECT_EQ(p.Mask.Width, 64);
  EXPECT_EQ(p.Mask.Height, 208);
  // The trailing zero bytes are not the platform's to read.
  EXPECT_EQ(p.Size, 16144u);
  // The list's own size does not matter: the stream carries its own.
  EXPECT_EQ(CheckImageListPayload(b, 32, 8).Count, 45);
}

TEST(ImageListPayloadCheckTest, TheFormIsToldByTheFirstWords) {
  TBytes b = GeneratedList();
  EXPECT_TRUE(IsImageListStream(b));
  TBytes same = {'I', 'L', 1, 1, 'I', 'L', 1, 1};
  EXPECT_FALSE(IsImageListStream(same));
  TBytes legacy = TwoBitmaps(Bmp(16, 16, 24), 1, Bmp(16, 16, 1));
  EXPECT_FALSE(IsImageListStream(legacy));
  EXPECT_FALSE(IsImageListStream(TBytes{'I', 'L', 1}));
}

TEST(ImageListPayloadCheckTest, AnUnmaskedStreamEndsAfterItsPicture) {
  TBytes b = GeneratedList();
  Put16(b, 18, 0x10FE);
  b.resize(kMask);
  TImageListPayload p = CheckImageListPayload(b, 16, 16);
  EXPECT_EQ(p.Mask.Size, 0u);
  EXPECT_EQ(p.Size, kMask);
}

TEST(ImageListPayloadCheckTest, HeaderFieldsOutsideThePictureAreRefused) {
  auto with16 = [](std::size_t at, unsigned value) {
    TBytes b = GeneratedList();
    Put16(b, at, value);
    return b;
  };
  EXPECT_BAD_LIST(with16(2, 0x0100), 16, 16);   // version
  EXPECT_BAD_LIST(with16(4, 50), 16, 16);       // count above the capacity
  EXPECT_BAD_LIST(with16(6, 53), 16, 16);       // a capacity of 14 rows in a picture of 13
  EXPECT_BAD_LIST(with16(6, 44), 16, 16);       // below the count
  EXPECT_BAD_LIST(with16(10, 15), 16, 16);      // cells narrower than the picture's quarter
  EXPECT_BAD_LIST(with16(12, 32), 16, 16);      // taller cells than the picture holds
  EXPECT_BAD_LIST(with16(10, 0), 16, 16);
  EXPECT_BAD_LIST(with16(6, 0xFFFF), 16, 16);
  TBytes b = GeneratedList();
  Put16(b, 4, 49);  // a full list is fine
  EXPECT_EQ(CheckImageListPayload(b, 16, 16).Count, 49);
}

TEST(ImageListPayloadCheckTest, BitmapsThatDoNotFitThePayloadAreRefused) {
  TBytes b = GeneratedList();
  for (std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{27}, kColour + 20, kColour + 1078, kMask - 1,
                          kMask + 61, std::size_t{16143}}) {
    TBytes shorter(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_BAD_LIST(shorter, 16, 16);
  }
  auto with32 = [&](std::size_t at, std::uint32_t value) {
    TBytes c = b;
    Put32(c, at, value);
    return c;
  };
  EXPECT_BAD_LIST(with32(kColour + 10, 1077), 16, 16);         // pixels elsewhere than after the table
  EXPECT_BAD_LIST(with32(kColour + 10, 0xFFFFFFF0), 16, 16);
  EXPECT_BAD_LIST(with32(kColour + 14, 124), 16, 16);          // a header the platform does not write
  EXPECT_BAD_LIST(with32(kColour + 14 + 16, 1), 16, 16);       // compressed
  EXPECT_BAD_LIST(with32(kColour + 14 + 20, 0x7FFFFFFF), 16, 16);  // an image size of its own
  EXPECT_BAD_LIST(with32(kColour + 14 + 32, 300), 16, 16);     // more colours than 8 bits name
  EXPECT_BAD_LIST(with32(kColour + 14 + 4, 0x80000040), 16, 16);
  EXPECT_BAD_LIST(with32(kColour + 14 + 8, 0x80000000), 16, 16);
  EXPECT_BAD_LIST(with32(kMask + 14 + 8, 207), 16, 16);        // a mask of another size
  EXPECT_BAD_LIST(with32(kMask + 14 + 12, 0x00080002), 16, 16);  // two planes, 8 bits
  TBytes notBm = b;
  notBm[kMask] = 'X';
  EXPECT_BAD_LIST(notBm, 16, 16);
  // The whole colour table may be named, and a top-down picture has the same rows.
  EXPECT_EQ(CheckImageListPayload(with32(kColour + 14 + 32, 256), 16, 16).Count, 45);
  EXPECT_EQ(CheckImageListPayload(with32(kColour + 14 + 8, static_cast<std::uint32_t>(-208)), 16, 16).Count, 45);
}

TEST(ImageListPayloadCheckTest, TwoBitmapsHoldTheCountInWholeCells) {
  // Three cells of 16 in a row, two rows: six images at most.
  TBytes ok = TwoBitmaps(Bmp(48, 32, 24), 6, Bmp(48, 32, 1));
  TImageListPayload p = CheckImageListPayload(ok, 16, 16);
  EXPECT_EQ(p.Form, TImageListPayload::TwoBitmaps);
  EXPECT_EQ(p.Count, 6);
  EXPECT_EQ(p.Image.Offset, 8u);
  EXPECT_EQ(p.Mask.Offset, 8 + Bmp(48, 32, 24).size());
  EXPECT_EQ(p.Size, ok.size());
  EXPECT_BAD_LIST(TwoBitmaps(Bmp(48, 32, 24), 7, Bmp(48, 32, 1)), 16, 16);
  EXPECT_BAD_LIST(TwoBitmaps(Bmp(48, 32, 24), 6, Bmp(48, 32, 1)), 17, 16);
  EXPECT_BAD_LIST(TwoBitmaps(Bmp(48, 32, 24), -1, Bmp(48, 32, 1)), 16, 16);
  // A mask covering the rows used is enough; one that does not is refused.
  EXPECT_EQ(CheckImageListPayload(TwoBitmaps(Bmp(48, 32, 24), 3, Bmp(48, 16, 1)), 16, 16).Count, 3);
  EXPECT_BAD_LIST(TwoBitmaps(Bmp(48, 32, 24), 4, Bmp(48, 16, 1)), 16, 16);
  EXPECT_BAD_LIST(TwoBitmaps(Bmp(48, 32, 24), 1, Bmp(32, 32, 1)), 16, 16);
  // The older 12-byte headers name the sizes too.
  EXPECT_EQ(CheckImageListPayload(TwoBitmaps(Bmp(32, 16, 8, true), 2, Bmp(32, 16, 1, true)), 16, 16).Count, 2);
  EXPECT_EQ(CheckImageListPayload(TwoBitmaps(Bmp(32, -16, 8), 2, Bmp(32, 16, 1)), 16, 16).Count, 2);
  EXPECT_EQ(CheckImageListPayload(TwoBitmaps(Bmp(16, 16, 4), 0, Bmp(16, 16, 1)), 16, 16).Count, 0);
}

TEST(ImageListPayloadCheckTest, TwoBitmapsMustLieWithinThePayload) {
  TBytes image = Bmp(32, 16, 24), mask = Bmp(32, 16, 1);
  TBytes b = TwoBitmaps(image, 2, mask);
  TBytes sizeTooLarge = b;
  Put32(sizeTooLarge, 0, static_cast<std::uint32_t>(b.size()));
  EXPECT_BAD_LIST(sizeTooLarge, 16, 16);
  TBytes sizeHuge = b;
  Put32(sizeHuge, 0, 0xFFFFFFFF);
  EXPECT_BAD_LIST(sizeHuge, 16, 16);
  TBytes sizeTooSmall = b;
  Put32(sizeTooSmall, 0, 20);
  EXPECT_BAD_LIST(sizeTooSmall, 16, 16);
  TBytes noMask(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(8 + image.size() + 20));
  EXPECT_BAD_LIST(noMask, 16, 16);
  TBytes badHeader = b;
  Put32(badHeader, 8 + 14, 39);
  EXPECT_BAD_LIST(badHeader, 16, 16);
  TBytes hugeHeader = b;
  Put32(hugeHeader, 8 + 14, 0xFFFFFFF0);
  EXPECT_BAD_LIST(hugeHeader, 16, 16);
  EXPECT_BAD_LIST(TBytes(b.begin(), b.begin() + 7), 16, 16);
  EXPECT_BAD_LIST(TBytes{}, 16, 16);
}

}  // namespace
}  // namespace tavelo
