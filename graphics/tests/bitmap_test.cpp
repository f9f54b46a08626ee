// Bitmaps on the platform: every format read back through the section pixel by pixel, shared
// images copied on first change, compressed data written back unchanged, transparent drawing
// that leaves masked pixels alone, and every platform object deleted again.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/tests/test_support.h"
#include "graphics/bitmap.h"
#include "graphics/tests/bmp_builder.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo {
namespace {

using testing::GdiObjectCount;
using testing::MakeBmp;
using testing::TBmpLayout;
using testing::TBytes;
using testing::TSurface;

void Load(TBitmap& bitmap, const TBytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

TBytes Save(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  return TBytes(bytes, bytes + stream.Size());
}

// A 4 x 4 24-bit image: magenta at the bottom-left and in the top-right corner, the rest
// graded blue.
TBytes MagentaCornered() {
  TBmpLayout layout;
  layout.width = 4;
  layout.height = 4;
  layout.bitCount = 24;
  for (int row = 0; row < 4; ++row) {
    for (int x = 0; x < 4; ++x) {
      bool magenta = (row == 0 && x == 0) || (row == 3 && x == 3);
      layout.pixels.insert(layout.pixels.end(), {static_cast<std::uint8_t>(magenta ? 0xFF : 0x40 + 0x20 * x),
                                             0, static_cast<std::uint8_t>(magenta ? 0xFF : 0)});
    }
  }
  return MakeBmp(layout);
}

TEST(Bitmap, EveryFormatReadsBackFromTheSectionPixelByPixel) {
  for (const auto& [name, bytes] : testing::SampleBmps()) {
    SCOPED_TRACE(name);
    TBmpImage expected = ReadBmp(bytes);
    TBitmap bitmap;
    Load(bitmap, bytes);
    ASSERT_EQ(bitmap.Width(), expected.Width());
    ASSERT_EQ(bitmap.Height(), expected.Height());
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x)
        EXPECT_EQ(static_cast<std::uint32_t>(bitmap.Canvas()->Pixels(x, y)), expected.Pixel(x, y)) << x << "," << y;
  }
}

TEST(Bitmap, CompressedDataIsWrittenBackUnchangedUntilTheImageChanges) {
  TBytes rle;
  for (const auto& [name, bytes] : testing::SampleBmps())
    if (name == "8-bit runs") rle = bytes;
  TBitmap bitmap;
  Load(bitmap, rle);
  EXPECT_EQ(Save(bitmap), rle);

  // A shared image keeps the bytes for both.
  TBitmap copy;
  copy.Assign(&bitmap);
  EXPECT_EQ(Save(copy), rle);

  bitmap.Canvas()->SetPixels(0, 0, clBlue);
  TBytes rebuilt = Save(bitmap);
  EXPECT_NE(rebuilt, rle);
  TBmpImage image = ReadBmp(rebuilt);
  EXPECT_EQ(image.Header.Compression, kBiRgb);
  EXPECT_EQ(image.Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(Save(copy), rle);
}

TEST(Bitmap, UncompressedEightBitDataRoundTripsToTheSameBytes) {
  TBmpLayout layout;
  layout.width = 3;
  layout.height = 2;
  for (std::uint32_t i = 0; i < 256; ++i) layout.colors.push_back(i * 0x010203 & 0xFFFFFF);
  layout.pixels = {0, 128, 255, 0, 7, 8, 9, 0};
  layout.sizeImage = 8;
  TBytes bytes = MakeBmp(layout);
  TBitmap bitmap;
  Load(bitmap, bytes);
  EXPECT_EQ(bitmap.BitsPerPixel(), 8);
  EXPECT_NE(bitmap.Palette(), nullptr);
  EXPECT_EQ(Save(bitmap), bytes);
}

TEST(Bitmap, AssignedBitmapsShareAnImageUntilOneOfThemIsDrawnOn) {
  TBitmap original;
  Load(original, MagentaCornered());
  int before = GdiObjectCount();
  TBitmap copy;
  copy.Assign(&original);
  EXPECT_EQ(GdiObjectCount(), before);  // nothing copied yet
  EXPECT_EQ(copy.Width(), 4);

  copy.Canvas()->Brush()->SetColor(clLime);
  copy.Canvas()->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(static_cast<std::uint32_t>(copy.Canvas()->Pixels(1, 1)), 0x00FF00u);
  EXPECT_EQ(static_cast<std::uint32_t>(original.Canvas()->Pixels(1, 1)), 0x600000u);
  EXPECT_GT(GdiObjectCount(), before);

  // Drawing a shared bitmap's image elsewhere copies nothing.
  TBitmap third;
  third.Assign(&original);
  TSurface surface(4, 4);
  TCanvas target;
  target.SetHandle(surface.Dc());
  target.Draw(0, 0, &third);
  target.Draw(0, 0, &original);
  EXPECT_EQ(surface.At(1, 1), 0x600000u);
  target.SetHandle(nullptr);
}

// The data form of a picture's bitmap: a size, then that many bytes.
struct TDataBitmap : TBitmap {
  using TBitmap::ReadData;
  using TBitmap::WriteData;
};

TEST(Bitmap, ReadingEmptyShortOrBadDataAndWhatAFailureLeaves) {
  TDataBitmap bitmap;
  Load(bitmap, MagentaCornered());

  TMemoryStream bad;
  const char junk[] = "XM-not-a-bitmap";
  bad.WriteBuffer(junk, sizeof junk);
  bad.SetPosition(0);
  EXPECT_RAISES(bitmap.LoadFromStream(bad), EInvalidGraphic, "Image bitmap incorrecte");
  EXPECT_EQ(bitmap.Width(), 4);  // the previous image stays

  TMemoryStream shortData;
  std::int32_t size = 5000;
  shortData.WriteBuffer(&size, 4);
  shortData.WriteBuffer(junk, sizeof junk);
  shortData.SetPosition(0);
  EXPECT_RAISES(bitmap.ReadData(shortData), EReadError, "Erreur de lecture du flux");
  EXPECT_EQ(bitmap.Height(), 4);

  TMemoryStream written;
  bitmap.WriteData(written);
  written.SetPosition(0);
  std::int32_t writtenSize = 0;
  written.ReadBuffer(&writtenSize, 4);
  EXPECT_EQ(writtenSize, static_cast<std::int32_t>(written.Size() - 4));

  TMemoryStream zero;
  size = 0;
  zero.WriteBuffer(&size, 4);
  zero.SetPosition(0);
  bitmap.ReadData(zero);
  EXPECT_TRUE(bitmap.Empty());
  TMemoryStream emptyWritten;
  bitmap.WriteData(emptyWritten);
  EXPECT_EQ(emptyWritten.Size(), 4);
}

TEST(Bitmap, SizeKeepsTheCommonPartAndMonochromeKeepsOnlyWhite) {
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  EXPECT_EQ(bitmap.BitsPerPixel(), 32);
  EXPECT_EQ(bitmap.Canvas()->Pixels(2, 1), clWhite);
  bitmap.Canvas()->SetPixels(1, 1, clRed);
  bitmap.SetWidth(5);
  EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(bitmap.Canvas()->Pixels(4, 1), clWhite);
  bitmap.SetMonochrome(true);
  EXPECT_TRUE(bitmap.Monochrome());
  EXPECT_EQ(bitmap.Canvas()->Pixels(1, 1), clBlack);
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clWhite);
  bitmap.SetHeight(0);
  EXPECT_TRUE(bitmap.Empty());

  TBitmap mask;
  mask.SetMonochrome(true);
  mask.SetSize(16, 16);
  EXPECT_EQ(mask.BitsPerPixel(), 1);
}

TEST(Bitmap, TransparentColourRules) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.TransparentMode(), tmAuto);
  Load(bitmap, MagentaCornered());
  EXPECT_EQ(bitmap.TransparentColor(), TColor(0x02FF00FF));  // the bottom-left pixel
  bitmap.SetTransparentColor(clBtnFace);
  EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap.TransparentColor(), TColor(static_cast<std::int32_t>(::GetSysColor(COLOR_BTNFACE) | 0x02000000)));
  bitmap.SetTransparentMode(tmAuto);
  EXPECT_EQ(bitmap.TransparentColor(), TColor(0x02FF00FF));
  bitmap.SetMonochrome(true);
  EXPECT_EQ(bitmap.TransparentColor(), TColor(0x02FFFFFF));
}

// The surface is green; the bitmap's magenta pixels must leave it so.
TEST(Bitmap, TransparentDrawingLeavesMaskedPixelsUntouchedAtAnySize) {
  TBitmap bitmap;
  Load(bitmap, MagentaCornered());
  bitmap.SetTransparent(true);
  TSurface surface(12, 12);
  surface.Fill(0x00FF00);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());

  canvas.Draw(0, 0, &bitmap);
  EXPECT_EQ(surface.At(0, 3), 0x00FF00u);  // bottom-left: transparent
  EXPECT_EQ(surface.At(3, 0), 0x00FF00u);  // top-right: transparent
  EXPECT_EQ(surface.At(1, 1), 0x600000u);
  EXPECT_EQ(surface.At(0, 0), 0x400000u);

  // Stretched to twice the size: through the mask all the same.
  canvas.StretchDraw(Rect(4, 4, 12, 12), &bitmap);
  EXPECT_EQ(surface.At(4, 10), 0x00FF00u);
  EXPECT_EQ(surface.At(5, 11), 0x00FF00u);
  EXPECT_EQ(surface.At(11, 4), 0x00FF00u);
  EXPECT_EQ(surface.At(6, 6), 0x600000u);

  // Opaque, the magenta shows.
  bitmap.SetTransparent(false);
  canvas.Draw(0, 0, &bitmap);
  EXPECT_EQ(surface.At(0, 3), 0xFF00FFu);

  // A fixed colour: now the blue at x 1 is left out instead.
  bitmap.SetTransparent(true);
  surface.Fill(0x00FF00);
  bitmap.SetTransparentColor(TColor(0x600000));
  canvas.Draw(0, 0, &bitmap);
  EXPECT_EQ(surface.At(1, 1), 0x00FF00u);
  EXPECT_EQ(surface.At(0, 3), 0xFF00FFu);
  canvas.SetHandle(nullptr);
}

TEST(Bitmap, ThePatternBrushOfABitmap) {
  TBitmap pattern;
  pattern.SetSize(8, 8);
  pattern.Canvas()->Brush()->SetColor(clBlue);
  pattern.Canvas()->FillRect(Rect(0, 0, 4, 8));
  TSurface surface(16, 8);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Brush()->SetBitmap(&pattern);
  canvas.FillRect(Rect(0, 0, 16, 8));
  EXPECT_EQ(surface.At(1, 1), 0xFF0000u);
  EXPECT_EQ(surface.At(5, 1), 0xFFFFFFu);
  EXPECT_EQ(surface.At(9, 1), 0xFF0000u);
  canvas.Brush()->SetColor(clRed);
  EXPECT_EQ(canvas.Brush()->Bitmap(), nullptr);
  canvas.SetHandle(nullptr);
}

TEST(Bitmap, ClipboardFormatIsThePlatformBitmapOnly) {
  TBitmap bitmap;
  Load(bitmap, MagentaCornered());
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  bitmap.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, static_cast<UINT>(CF_BITMAP));
  ASSERT_NE(data, nullptr);
  TBitmap pasted;
  pasted.LoadFromClipboardFormat(format, data, palette);
  EXPECT_EQ(pasted.Canvas()->Pixels(1, 1), TColor(0x600000));
  ::DeleteObject(data);
  if (palette) ::DeleteObject(palette);
  EXPECT_RAISES(pasted.LoadFromClipboardFormat(3, nullptr, nullptr), EInvalidGraphic,
                "Format de Presse-papiers non supporté");
}

TEST(Bitmap, HandlesGoBackToTheirOwner) {
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  HBITMAP handle = bitmap.ReleaseHandle();
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_TRUE(testing::IsLiveObject(handle));
  TBitmap other;
  other.SetHandle(handle);
  EXPECT_FALSE(testing::IsLiveObject(handle));  // taken over and deleted
  EXPECT_EQ(other.Width(), 2);
  EXPECT_EQ(other.Canvas()->Pixels(1, 1), clWhite);
}

TEST(Bitmap, EveryPlatformObjectIsDeletedAgain) {
  int before = GdiObjectCount();
  {
    std::vector<std::unique_ptr<TBitmap>> bitmaps;
    for (const auto& [name, bytes] : testing::SampleBmps()) {
      bitmaps.push_back(std::make_unique<TBitmap>());
      Load(*bitmaps.back(), bytes);
    }
    TSurface surface(20, 20);
    TCanvas canvas;
    canvas.SetHandle(surface.Dc());
    for (auto& bitmap : bitmaps) {
      bitmap->SetTransparent(true);
      canvas.Draw(0, 0, bitmap.get());
      canvas.StretchDraw(Rect(0, 0, 20, 20), bitmap.get());
      bitmap->Canvas()->Rectangle(0, 0, 2, 2);
      auto copy = std::make_unique<TBitmap>();
      copy->Assign(bitmap.get());
      copy->SetSize(7, 7);
      canvas.Brush()->SetBitmap(copy.get());
      canvas.FillRect(Rect(0, 0, 5, 5));
      canvas.Brush()->SetBitmap(nullptr);
    }
    EXPECT_GT(GdiObjectCount(), before + 10);
    canvas.SetHandle(nullptr);
  }
  EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace
}  // namespace tavelo
