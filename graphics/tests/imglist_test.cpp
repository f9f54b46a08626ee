// Image lists over the platform's: the generated payload read back through the platform, the
// older two-bitmap layout, writing and reading again, pixels drawn enabled and disabled, the
// order of change notifications, the messages, and every GDI object given back.
#include "graphics/imglist.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/exceptions.h"
#include "core/tests/test_support.h"
#include "graphics/imagelistdata.h"
#include "graphics/tests/graphics_test_support.h"
#include "streaming/filer.h"
#include "tools/formtext.h"

namespace tavelo {
namespace {

using testing::GdiObjectCount;
using testing::TSurface;

std::string GeneratedList() {
  std::ifstream in(std::string(TAVELO_ASSET_DIR) + "/toolbar.imagelist", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A component stream holding one image list with that "Bitmap" payload.
std::unique_ptr<TMemoryStream> ListStream(const std::string& payload) {
  std::string hex;
  static const char kDigits[] = "0123456789ABCDEF";
  for (unsigned char b : payload) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  std::string bytes = formtext::Compile("ImageList1: TImageList {\n  Bitmap = binary{" + hex + "}\n}\n", ".").bytes;
  auto stream = std::make_unique<TMemoryStream>();
  stream->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

void Load(TImageList& list, const std::string& payload) { ReadComponentFromStream(*ListStream(payload), &list); }

// The "Bitmap" payload as the list writes it.
class TProbeList : public TImageList {
public:
  TProbeList() : TImageList(nullptr) {}
  using TCustomImageList::ReadData;
  using TCustomImageList::WriteData;
  void Read(const std::string& payload) {
    TMemoryStream stream;
    stream.WriteBuffer(payload.data(), static_cast<std::int32_t>(payload.size()));
    stream.SetPosition(0);
    ReadData(stream);
  }
};

// The colour the generated payload gives pixel (x, y) of an image, or `under` where its mask
// lets the background through.
COLORREF PayloadPixel(const std::string& b, int image, int x, int y, COLORREF under) {
  auto u8 = [&](std::size_t at) { return static_cast<unsigned char>(b.at(at)); };
  int row = 207 - ((image / 4) * 16 + y), column = (image % 4) * 16 + x;
  std::size_t maskBits = 28 + 14390 + 62, colourBits = 28 + 1078;
  if (u8(maskBits + static_cast<std::size_t>(row * 8 + column / 8)) & (0x80 >> (column % 8))) return under;
  std::size_t entry = 28 + 54 + 4 * u8(colourBits + static_cast<std::size_t>(row * 64 + column));
  return RGB(u8(entry + 2), u8(entry + 1), u8(entry));
}

// Draws every image of the list in a row of cells over a grey ground, enabled or not.
class TDrawing {
public:
  explicit TDrawing(int cells) : surface_(cells * 16 + 1, 17) {
    surface_.Fill(kGround);
    canvas_.SetHandle(surface_.Dc());
  }
  ~TDrawing() { canvas_.SetHandle(nullptr); }
  TCanvas* Canvas() { return &canvas_; }
  COLORREF At(int x, int y) { return surface_.At(x, y); }
  static constexpr COLORREF kGround = RGB(0x40, 0x80, 0x40);

private:
  TSurface surface_;
  TCanvas canvas_;
};

// A 16 × 16 bitmap: white, with a black square at (2..5, 2..5) and a red one at (8..11, 8..11).
std::unique_ptr<TBitmap> SquaresBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(16, 16);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, 16, 16));
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(Rect(2, 2, 6, 6));
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(8, 8, 12, 12));
  return bitmap;
}

// A monochrome mask: white (transparent) on the right half.
std::unique_ptr<TBitmap> RightHalfMask() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetMonochrome(true);
  bitmap->SetSize(16, 16);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(Rect(0, 0, 16, 16));
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(10, 0, 16, 16));
  return bitmap;
}

TEST(ImageListStream, TheGeneratedListReadsBackWithImage43AtCell3Row10) {
  std::string payload = GeneratedList();
  ASSERT_EQ(payload.size(), 16166u);
  TImageList list(nullptr);
  Load(list, payload);
  ASSERT_TRUE(list.HandleAllocated());
  EXPECT_EQ(list.Count(), 45);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  EXPECT_EQ(list.BkColor(), clNone);
  TDrawing drawing(45);
  for (int i = 0; i < 45; ++i) list.Draw(drawing.Canvas(), i * 16, 0, i);
  for (int image : {0, 1, 2, 6, 7, 8, 30, 43, 44}) {
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(drawing.At(image * 16 + x, y), PayloadPixel(payload, image, x, y, TDrawing::kGround))
            << "image " << image << " pixel " << x << "," << y;
  }
}

TEST(ImageListStream, WrittenByThePlatformAndReadAgainTheImagesAreTheSame) {
  std::string payload = GeneratedList();
  TImageList list(nullptr);
  Load(list, payload);
  TMemoryStream stream;
  WriteComponentToStream(stream, &list);
  stream.SetPosition(0);
  std::string dumped = formtext::Dump(stream);
  EXPECT_NE(dumped.find("Bitmap = binary{"), std::string::npos);

  stream.SetPosition(0);
  TImageList again(nullptr);
  ReadComponentFromStream(stream, &again);
  ASSERT_EQ(again.Count(), 45);
  TDrawing first(45), second(45);
  for (int i = 0; i < 45; ++i) {
    list.Draw(first.Canvas(), i * 16, 0, i);
    again.Draw(second.Canvas(), i * 16, 0, i);
  }
  for (int x = 0; x < 45 * 16; ++x)
    for (int y = 0; y < 16; ++y) ASSERT_EQ(first.At(x, y), second.At(x, y)) << x << "," << y;
}

TEST(ImageListStream, WhatThePlatformWritesPassesTheChecksOfReading) {
  TProbeList list;
  Load(list, GeneratedList());
  TMemoryStream written;
  list.WriteData(written);
  std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(written.Memory()),
                                      static_cast<std::size_t>(written.Size()));
  TImageListPayload payload = CheckImageListPayload(bytes, 16, 16);
  EXPECT_EQ(payload.Form, TImageListPayload::PlatformStream);
  EXPECT_EQ(payload.Count, 45);
  EXPECT_EQ(payload.Header.Width, 16);
  EXPECT_TRUE(payload.Header.Flags & kImageListMasked);
  EXPECT_LE(payload.Size, bytes.size());
}

TEST(ImageListStream, AnEmptyListWritesNoBitmap) {
  TImageList list(nullptr);
  TMemoryStream stream;
  WriteComponentToStream(stream, &list);
  stream.SetPosition(0);
  EXPECT_EQ(formtext::Dump(stream).find("Bitmap"), std::string::npos);
}

TEST(ImageListStream, TheOlderTwoBitmapLayoutCutsCellsRowByRow) {
  // The generated pictures in the older layout: the colour file's size, the count, the files.
  std::string payload = GeneratedList();
  std::string older = std::string("\x36\x38\x00\x00\x2D\x00\x00\x00", 8) + payload.substr(28, 14390 + 1726);
  TImageList list(nullptr);
  Load(list, older);
  ASSERT_EQ(list.Count(), 45);
  TDrawing drawing(45);
  for (int i = 0; i < 45; ++i) list.Draw(drawing.Canvas(), i * 16, 0, i);
  for (int image : {0, 8, 43}) {
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(drawing.At(image * 16 + x, y), PayloadPixel(payload, image, x, y, TDrawing::kGround))
            << "image " << image << " pixel " << x << "," << y;
  }
}

TEST(ImageListStream, BadPayloadsRaiseTheReadingErrorAndLeaveNoList) {
  std::string payload = GeneratedList();
  std::string countAboveCapacity = payload;
  countAboveCapacity[4] = 50;
  std::string shortMask = payload.substr(0, 16000);
  std::string olderTooMany = std::string("\x36\x38\x00\x00\x35\x00\x00\x00", 8) + payload.substr(28, 14390 + 1726);
  for (const std::string& bad : {countAboveCapacity, shortMask, olderTooMany, std::string("IL")}) {
    TProbeList list;
    EXPECT_RAISES(list.Read(bad), EReadError, "Erreur à la lecture des données ImageList du flux");
    EXPECT_FALSE(list.HandleAllocated());
  }
  // Through a form description, the reader names the property that failed.
  TImageList list(nullptr);
  try {
    Load(list, countAboveCapacity);
    ADD_FAILURE() << "a count above the capacity was read";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message().substr(e.Message().size() - 49), "Erreur à la lecture des données ImageList du flux");
  }
  EXPECT_EQ(list.Count(), 0);
}

// A stream that refuses every byte.
class TFullStream : public TStream {
public:
  std::int32_t Read(void*, std::int32_t) override { return 0; }
  std::int32_t Write(const void*, std::int32_t) override { return 0; }
  std::int64_t Seek64(std::int64_t, TSeekOrigin) override { return 0; }
};

TEST(ImageListStream, AWriteThatFailsRaisesTheWritingError) {
  TProbeList list;
  Load(list, GeneratedList());
  TFullStream full;
  EXPECT_RAISES(list.WriteData(full), EWriteError, "Erreur à l'écriture des données ImageList dans le flux");
}

TEST(ImageListDrawing, EnabledImagesKeepTheGroundWhereTheMaskIsSet) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  auto mask = RightHalfMask();
  EXPECT_EQ(list.Add(image.get(), mask.get()), 0);
  TDrawing drawing(1);
  list.Draw(drawing.Canvas(), 0, 0, 0);
  EXPECT_EQ(drawing.At(3, 3), RGB(0, 0, 0));
  EXPECT_EQ(drawing.At(8, 8), RGB(255, 0, 0));
  EXPECT_EQ(drawing.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(drawing.At(10, 10), TDrawing::kGround);
  EXPECT_EQ(drawing.At(15, 0), TDrawing::kGround);
}

TEST(ImageListDrawing, DisabledImagesAreAnEmbossedSilhouette) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  auto mask = RightHalfMask();
  list.Add(image.get(), mask.get());
  TDrawing drawing(1);
  list.Draw(drawing.Canvas(), 0, 0, 0, false);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  // The black square: shadow over it, highlight on its lower-right edge.
  EXPECT_EQ(drawing.At(2, 2), shadow);
  EXPECT_EQ(drawing.At(5, 5), shadow);
  EXPECT_EQ(drawing.At(6, 6), highlight);
  EXPECT_EQ(drawing.At(6, 3), highlight);
  // The red square's visible part (8..9): its colour does not matter, only that it is not white.
  EXPECT_EQ(drawing.At(8, 8), shadow);
  EXPECT_EQ(drawing.At(9, 11), shadow);
  EXPECT_EQ(drawing.At(10, 12), highlight);
  // White and transparent pixels leave the ground alone.
  EXPECT_EQ(drawing.At(0, 0), TDrawing::kGround);
  EXPECT_EQ(drawing.At(7, 2), TDrawing::kGround);
  EXPECT_EQ(drawing.At(13, 13), TDrawing::kGround);
  EXPECT_EQ(drawing.At(11, 11), TDrawing::kGround);
}

TEST(ImageListDrawing, DisabledDrawingLeavesTheCanvasTextColours) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  list.Add(image.get(), nullptr);
  TDrawing drawing(1);
  drawing.Canvas()->Font()->SetColor(clBlue);
  HDC dc = drawing.Canvas()->Handle();
  COLORREF text = ::GetTextColor(dc);
  list.Draw(drawing.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(::GetTextColor(drawing.Canvas()->Handle()), text);
  EXPECT_EQ(text, RGB(0, 0, 255));
}

TEST(ImageListDrawing, NothingIsDrawnWithoutAPlatformList) {
  TImageList list(nullptr);
  TDrawing drawing(1);
  list.Draw(drawing.Canvas(), 0, 0, 0);
  EXPECT_FALSE(list.HandleAllocated());
  EXPECT_EQ(drawing.At(3, 3), TDrawing::kGround);
}

TEST(ImageListImages, AddingWithoutAMaskIsOpaqueAndGetBitmapDrawsTheImage) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  EXPECT_EQ(list.Add(image.get(), nullptr), 0);
  EXPECT_EQ(list.Add(nullptr, nullptr), 1);
  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(0, &copy));
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Height(), 16);
  EXPECT_EQ(copy.Canvas()->Pixels(3, 3), clBlack);
  EXPECT_EQ(copy.Canvas()->Pixels(9, 9), clRed);
  EXPECT_EQ(copy.Canvas()->Pixels(14, 1), clWhite);
  EXPECT_TRUE(list.GetBitmap(1, &copy));
  EXPECT_EQ(copy.Canvas()->Pixels(14, 1), clBlack);
  EXPECT_FALSE(list.GetBitmap(2, &copy));
  EXPECT_FALSE(list.GetBitmap(-1, &copy));
  EXPECT_FALSE(list.GetBitmap(0, nullptr));
  TImageList empty(nullptr);
  EXPECT_FALSE(empty.GetBitmap(0, &copy));
}

TEST(ImageListImages, AddMaskedLeavesOutTheMaskColourAndReplaceMaskedKeepsTheIndex) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  EXPECT_EQ(list.AddMasked(image.get(), clWhite), 0);
  EXPECT_EQ(list.Add(image.get(), nullptr), 1);
  TDrawing drawing(2);
  list.Draw(drawing.Canvas(), 0, 0, 0);
  EXPECT_EQ(drawing.At(0, 0), TDrawing::kGround);
  EXPECT_EQ(drawing.At(3, 3), RGB(0, 0, 0));
  list.ReplaceMasked(1, image.get(), clRed);
  EXPECT_EQ(list.Count(), 2);
  list.Draw(drawing.Canvas(), 16, 0, 1);
  EXPECT_EQ(drawing.At(16 + 9, 9), TDrawing::kGround);
  EXPECT_EQ(drawing.At(16 + 0, 0), RGB(255, 255, 255));
  EXPECT_RAISES(list.ReplaceMasked(5, image.get(), clRed), EInvalidOperation, "Impossible de remplacer l'image");
  EXPECT_EQ(list.Count(), 2);
}

TEST(ImageListImages, DeletingAndClearing) {
  TImageList list(nullptr);
  auto image = SquaresBitmap();
  list.Clear();  // nothing to clear is no error
  list.Add(image.get(), nullptr);
  list.Add(image.get(), nullptr);
  EXPECT_RAISES(list.Delete(2), EInvalidOperation, "Indice ImageList incorrect");
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_RAISES(list.Delete(0), EInvalidOperation, "Indice ImageList incorrect");
}

TEST(ImageListImages, SizesAreCheckedAndANewSizeEmptiesTheList) {
  EXPECT_RAISES(TImageList(0, 16), EInvalidOperation, "Taille d'image incorrecte");
  EXPECT_RAISES(TImageList(16, 0), EInvalidOperation, "Taille d'image incorrecte");
  EXPECT_RAISES(TImageList(16, 32769), EInvalidOperation, "Taille d'image incorrecte");
  TImageList list(24, 8);
  EXPECT_EQ(list.Width(), 24);
  EXPECT_EQ(list.Owner(), nullptr);
  auto small = SquaresBitmap();
  EXPECT_RAISES(list.Add(small.get(), nullptr), EInvalidOperation, "Taille d'image incorrecte");
  EXPECT_RAISES(list.Add(nullptr, small.get()), EInvalidOperation, "Taille d'image incorrecte");
  TImageList sixteen(nullptr);
  sixteen.Add(small.get(), nullptr);
  int changes = 0;
  struct TCounter : TObject {
    int* count = nullptr;
    void Changed(TObject*) { ++*count; }
  } counter;
  counter.count = &changes;
  sixteen.SetOnChange(TNotifyEvent::Bind<&TCounter::Changed>(&counter));
  sixteen.SetWidth(16);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(sixteen.Count(), 1);
  sixteen.SetWidth(20);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(sixteen.Count(), 0);
  EXPECT_EQ(sixteen.Width(), 20);
  EXPECT_RAISES(sixteen.SetHeight(0), EInvalidOperation, "Taille d'image incorrecte");
  EXPECT_EQ(sixteen.Height(), 16);
}

TEST(ImageListColours, NoneAndDefaultMapToThePlatformsMarkers) {
  EXPECT_EQ(ImageListColor(clNone), CLR_NONE);
  EXPECT_EQ(ImageListColor(clDefault), CLR_DEFAULT);
  EXPECT_EQ(ImageListColor(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ImageListColor(clBtnFace), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorFromImageList(CLR_NONE), clNone);
  EXPECT_EQ(ColorFromImageList(CLR_DEFAULT), clDefault);
  TImageList list(nullptr);
  list.SetBkColor(clRed);
  EXPECT_EQ(list.BkColor(), clRed);
  list.Handle();
  EXPECT_EQ(ImageList_GetBkColor(list.Handle()), RGB(255, 0, 0));
  list.SetBkColor(clNone);
  EXPECT_EQ(ImageList_GetBkColor(list.Handle()), CLR_NONE);
  EXPECT_EQ(list.BkColor(), clNone);
}

TEST(ImageListCopies, AssignCopiesSettingsAndImages) {
  TImageList source(nullptr);
  Load(source, GeneratedList());
  source.SetDrawingStyle(dsTransparent);
  TImageList copy(24, 24);
  copy.Assign(&source);
  EXPECT_EQ(copy.Count(), 45);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.DrawingStyle(), dsTransparent);
  TDrawing a(1), b(1);
  source.Draw(a.Canvas(), 0, 0, 8);
  copy.Draw(b.Canvas(), 0, 0, 8);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
  copy.Assign(nullptr);
  EXPECT_FALSE(copy.HandleAllocated());
}

// Records the notifications of two links and of the list, in order.
struct TNotices : TObject {
  std::vector<std::string> log;
  void First(TObject*) { log.push_back("first"); }
  void Second(TObject*) { log.push_back("second"); }
  void List(TObject*) { log.push_back("list"); }
};

TEST(ImageListChanges, LinksHearInRegistrationOrderThenTheList) {
  TNotices notices;
  TImageList list(nullptr);
  TChangeLink first, second;
  first.SetOnChange(TNotifyEvent::Bind<&TNotices::First>(&notices));
  second.SetOnChange(TNotifyEvent::Bind<&TNotices::Second>(&notices));
  list.RegisterChanges(&first);
  list.RegisterChanges(&second);
  list.SetOnChange(TNotifyEvent::Bind<&TNotices::List>(&notices));
  EXPECT_EQ(first.Sender(), &list);
  auto image = SquaresBitmap();
  list.Add(image.get(), nullptr);
  EXPECT_EQ(notices.log, (std::vector<std::string>{"first", "second", "list"}));
  notices.log.clear();
  list.UnRegisterChanges(&first);
  EXPECT_EQ(first.Sender(), nullptr);
  list.SetDrawingStyle(dsFocus);
  list.SetDrawingStyle(dsFocus);
  EXPECT_EQ(notices.log, (std::vector<std::string>{"second", "list"}));
}

TEST(ImageListChanges, UpdateBracketsNestAndTheOutermostEndAnnouncesOnce) {
  TNotices notices;
  TImageList list(nullptr);
  TChangeLink link;
  link.SetOnChange(TNotifyEvent::Bind<&TNotices::First>(&notices));
  list.RegisterChanges(&link);
  auto image = SquaresBitmap();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(image.get(), nullptr);
  list.Add(image.get(), nullptr);
  list.EndUpdate();
  EXPECT_TRUE(notices.log.empty());
  list.EndUpdate();
  EXPECT_EQ(notices.log, (std::vector<std::string>{"first"}));
  // The changed flag stays set after a change: an empty bracket announces once more.
  notices.log.clear();
  list.BeginUpdate();
  list.EndUpdate();
  EXPECT_EQ(notices.log, (std::vector<std::string>{"first"}));
  notices.log.clear();
  list.EndUpdate();  // unbalanced: the counter stays at 0
  list.Add(image.get(), nullptr);
  EXPECT_EQ(notices.log, (std::vector<std::string>{"first", "first"}));
}

TEST(ImageListChanges, FreeingALinkOrTheListUnhooksTheOther) {
  TNotices notices;
  auto list = std::make_unique<TImageList>(nullptr);
  auto link = std::make_unique<TChangeLink>();
  TChangeLink kept;
  link->SetOnChange(TNotifyEvent::Bind<&TNotices::First>(&notices));
  kept.SetOnChange(TNotifyEvent::Bind<&TNotices::Second>(&notices));
  list->RegisterChanges(link.get());
  list->RegisterChanges(&kept);
  link.reset();
  list->SetBlendColor(clRed);
  EXPECT_EQ(notices.log, (std::vector<std::string>{"second"}));
  list.reset();
  EXPECT_EQ(kept.Sender(), nullptr);
}

TEST(ImageListResources, EveryGdiObjectIsGivenBack) {
  std::string payload = GeneratedList();
  auto image = SquaresBitmap();
  auto mask = RightHalfMask();
  int before = GdiObjectCount();
  {
    TImageList list(nullptr);
    Load(list, payload);
    TDrawing drawing(45);
    for (int i = 0; i < 45; ++i) {
      list.Draw(drawing.Canvas(), i * 16, 0, i, true);
      list.Draw(drawing.Canvas(), i * 16, 0, i, false);
    }
    list.Add(image.get(), mask.get());
    list.AddMasked(image.get(), clWhite);
    list.ReplaceMasked(0, image.get(), clRed);
    TBitmap copy;
    list.GetBitmap(3, &copy);
    TImageList other(nullptr);
    other.Assign(&list);
    other.Draw(drawing.Canvas(), 0, 0, 1, false);  // its silhouette bitmap lives on to the end
    list.SetWidth(20);
    try {
      Load(list, payload.substr(0, 100));
    } catch (const EReadError&) {
    }
  }
  EXPECT_EQ(GdiObjectCount(), before);
}

}  // namespace
}  // namespace tavelo
