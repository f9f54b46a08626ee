// Icons: files checked before they are kept, the image that fits the size asked, drawing
// through the mask, files made from a handle, and the size fixed once there is a handle.
#include <gtest/gtest.h>

#include "core/exceptions.h"
#include "core/tests/test_support.h"
#include "graphics/icon.h"
#include "graphics/tests/bmp_builder.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo {
namespace {

using testing::Put16;
using testing::Put32;
using testing::TBytes;
using testing::TSurface;

// An icon file of one 32-bit image of size x size: red on the left half, transparent on the
// right (the AND mask's bits set), alpha left at zero so that the mask decides.
TBytes IconFile(int size, std::uint8_t red = 0xFF) {
  const std::size_t maskStride = static_cast<std::size_t>((size + 31) / 32 * 4);
  const std::size_t imageSize = 40 + static_cast<std::size_t>(size * size * 4) + maskStride * size;
  TBytes out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.insert(out.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size), 0, 0});
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, static_cast<std::uint32_t>(imageSize));
  Put32(out, 22);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(2 * size));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) out.insert(out.end(), {0, 0, static_cast<std::uint8_t>(x < size / 2 ? red : 0), 0});
  for (int y = 0; y < size; ++y) {
    TBytes row(maskStride, 0);
    for (int x = size / 2; x < size; ++x) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

void Load(TIcon& icon, const TBytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.SetPosition(0);
  icon.LoadFromStream(stream);
}

TBytes Save(TIcon& icon) {
  TMemoryStream stream;
  icon.SaveToStream(stream);
  const auto* bytes = static_cast<const std::uint8_t*>(stream.Memory());
  return TBytes(bytes, bytes + stream.Size());
}

TEST(Icon, DrawsAtItsOwnSizeThroughItsMask) {
  TIcon icon;
  icon.SetWidth(16);
  icon.SetHeight(16);
  Load(icon, IconFile(16));
  EXPECT_TRUE(icon.Transparent());
  EXPECT_EQ(icon.Width(), 16);
  TSurface surface(40, 40);
  surface.Fill(0x00FF00);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.StretchDraw(Rect(4, 4, 40, 40), &icon);  // the rectangle's corner only
  EXPECT_EQ(surface.At(5, 5), 0x0000FFu);
  EXPECT_EQ(surface.At(15, 5), 0x00FF00u);
  EXPECT_EQ(surface.At(5, 25), 0x00FF00u);
  canvas.SetHandle(nullptr);

  EXPECT_RAISES(icon.SetWidth(32), EInvalidGraphicOperation, "Impossible de modifier la taille d'une icône");
  // Written back as read.
  EXPECT_EQ(Save(icon), IconFile(16));
}

TEST(Icon, OnlyTypesZeroAndOneWithEntriesInsideTheFile) {
  TIcon icon;
  TBytes file = IconFile(16);
  TBytes bad = file;
  bad[2] = 2;
  EXPECT_RAISES(Load(icon, bad), EInvalidGraphic, "Image icône incorrecte");
  bad = file;
  bad[18] = 0xFF;  // the image's offset far past the end
  EXPECT_RAISES(Load(icon, bad), EInvalidGraphic, "Image icône incorrecte");
  bad = TBytes(file.begin(), file.begin() + 15);  // the directory cut short
  EXPECT_RAISES(Load(icon, bad), EInvalidGraphic, "Image icône incorrecte");
  EXPECT_RAISES(Load(icon, TBytes()), EInvalidGraphic, "Image icône incorrecte");
  EXPECT_TRUE(icon.Empty());

  // Type 0: the system's application icon, written back as it came.
  TBytes stock(6, 0);
  Load(icon, stock);
  EXPECT_NE(icon.Handle(), nullptr);
  EXPECT_EQ(Save(icon), stock);
}

TEST(Icon, AnIconSetByHandleWritesAFileThatReadsBackTheSame) {
  TIcon source;
  source.SetWidth(32);
  source.SetHeight(32);
  Load(source, IconFile(32, 0xC0));
  TIcon byHandle;
  byHandle.SetHandle(source.ReleaseHandle());
  EXPECT_EQ(byHandle.Width(), 32);
  TBytes file = Save(byHandle);
  ASSERT_GT(file.size(), 22u);

  TIcon again;
  again.SetWidth(32);
  again.SetHeight(32);
  Load(again, file);
  TSurface surface(32, 32);
  surface.Fill(0x00FF00);
  TCanvas canvas;
  canvas.SetHandle(surface.Dc());
  canvas.Draw(0, 0, &again);
  EXPECT_EQ(surface.At(3, 3), 0x0000C0u);
  EXPECT_EQ(surface.At(20, 3), 0x00FF00u);
  canvas.SetHandle(nullptr);

  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  EXPECT_RAISES(again.SaveToClipboardFormat(format, data, palette), EInvalidGraphic,
                "Format de Presse-papiers non supporté");
}

TEST(Icon, TheImageThatFitsTheSizeAsked) {
  // Two images: 16 x 16 (bright red) and 32 x 32 (dark red).
  TBytes small = IconFile(16, 0xFF);
  TBytes large = IconFile(32, 0x80);
  TBytes file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 2);
  auto entry = [&](const TBytes& single, std::uint32_t offset) {
    file.insert(file.end(), single.begin() + 6, single.begin() + 18);
    Put32(file, offset);
  };
  std::uint32_t first = 6 + 32;
  entry(small, first);
  entry(large, first + static_cast<std::uint32_t>(small.size() - 22));
  file.insert(file.end(), small.begin() + 22, small.end());
  file.insert(file.end(), large.begin() + 22, large.end());

  for (int size : {16, 32}) {
    TIcon icon;
    icon.SetWidth(size);
    icon.SetHeight(size);
    Load(icon, file);
    TSurface surface(32, 32);
    TCanvas canvas;
    canvas.SetHandle(surface.Dc());
    canvas.Draw(0, 0, &icon);
    EXPECT_EQ(surface.At(2, 2), size == 16 ? 0x0000FFu : 0x000080u);
    canvas.SetHandle(nullptr);
  }
}

TEST(Icon, EveryPlatformObjectIsDeletedAgain) {
  int before = testing::GdiObjectCount();
  {
    TIcon icon;
    Load(icon, IconFile(32));
    TIcon copy;
    copy.Assign(&icon);
    TSurface surface(32, 32);
    TCanvas canvas;
    canvas.SetHandle(surface.Dc());
    canvas.Draw(0, 0, &copy);
    TIcon byHandle;
    byHandle.SetHandle(::CopyIcon(copy.Handle()));
    (void)Save(byHandle);
    canvas.SetHandle(nullptr);
  }
  EXPECT_EQ(testing::GdiObjectCount(), before);
}

}  // namespace
}  // namespace tavelo
