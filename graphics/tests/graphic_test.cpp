// Pictures: the "Data" property read and written through component streams, unknown classes,
// copies, events and the registered classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/component.h"
#include "core/exceptions.h"
#include "core/tests/test_support.h"
#include "graphics/bitmap.h"
#include "graphics/graphic.h"
#include "graphics/icon.h"
#include "graphics/tests/bmp_builder.h"
#include "streaming/filer.h"

namespace tavelo {
namespace {

using testing::MakeBmp;
using testing::TBmpLayout;
using testing::TBytes;

class TPictureHolder : public TComponent {
  TAVELO_CLASS(TPictureHolder, TComponent)
public:
  using TConstructorArg = TComponent;
  explicit TPictureHolder(TComponent* owner) : TComponent(owner) {}
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }

private:
  std::unique_ptr<TPicture> picture_ = std::make_unique<TPicture>();
};

TAVELO_PUBLISH(TPictureHolder) { c.Property("Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture); }

// The splash picture's shape: 102 x 102, 8 bits per pixel, 256 colours: an 11686-byte file.
TBytes SplashLikeBmp() {
  TBmpLayout layout;
  layout.width = 102;
  layout.height = 102;
  for (std::uint32_t i = 0; i < 256; ++i) layout.colors.push_back(i * 0x010101);
  layout.pixels.resize(104 * 102);
  for (std::size_t i = 0; i < layout.pixels.size(); ++i) layout.pixels[i] = static_cast<std::uint8_t>(i % 104);
  return MakeBmp(layout);
}

TBytes Payload(const std::string& className, const TBytes& bmp) {
  TBytes payload;
  payload.push_back(static_cast<std::uint8_t>(className.size()));
  for (char c : className) payload.push_back(static_cast<std::uint8_t>(c));
  testing::Put32(payload, static_cast<std::uint32_t>(bmp.size()));
  payload.insert(payload.end(), bmp.begin(), bmp.end());
  return payload;
}

// A component stream of a holder whose only property is Picture.Data.
void ReadHolder(TPictureHolder& holder, const TBytes& payload) {
  TMemoryStream stream;
  {
    TWriter writer(stream, 4096);
    writer.WriteSignature();
    writer.WriteStr("TPictureHolder");
    writer.WriteStr("Holder");
    writer.WriteStr("Picture.Data");
    writer.WriteBinary(payload.data(), static_cast<std::int32_t>(payload.size()));
    writer.WriteListEnd();
    writer.WriteListEnd();
  }
  stream.SetPosition(0);
  ReadComponentFromStream(stream, &holder);
}

std::string Written(TComponent* component, TComponent* ancestor = nullptr) {
  TMemoryStream stream;
  {
    TWriter writer(stream, 4096);
    writer.WriteDescendent(component, ancestor);
  }
  return std::string(static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

TEST(PictureData, TheSplashPictureReadsAsAnEightBitBitmapWithItsPalette) {
  TBytes bmp = SplashLikeBmp();
  ASSERT_EQ(bmp.size(), 11686u);
  TBytes payload = Payload("TBitmap", bmp);
  ASSERT_EQ(payload.size(), 11698u);
  EXPECT_EQ(TBytes(payload.begin(), payload.begin() + 12),
            (TBytes{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 0xA6, 0x2D, 0x00, 0x00}));

  TPictureHolder holder(nullptr);
  ReadHolder(holder, payload);
  auto* bitmap = DynamicCast<TBitmap>(holder.Picture()->Graphic());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(holder.Picture()->Width(), 102);
  EXPECT_EQ(holder.Picture()->Height(), 102);
  EXPECT_EQ(bitmap->BitsPerPixel(), 8);
  ASSERT_NE(bitmap->Palette(), nullptr);
  EXPECT_EQ(::GetPaletteEntries(bitmap->Palette(), 0, 0, nullptr), 256u);

  // Written back: the same class name, size and file.
  std::string written = Written(&holder);
  std::string expected = "\x0CPicture.Data\x0A";
  expected += std::string("\xB2\x2D\x00\x00", 4);
  expected += std::string(payload.begin(), payload.end());
  EXPECT_NE(written.find(expected), std::string::npos);
}

TEST(PictureData, AnUnknownOrDifferentlyCasedClassEmptiesThePictureWithoutError) {
  for (const char* name : {"TFoo", "tbitmap"}) {
    SCOPED_TRACE(name);
    TPictureHolder holder(nullptr);
    holder.Picture()->Bitmap()->SetSize(2, 2);
    ReadHolder(holder, Payload(name, SplashLikeBmp()));
    EXPECT_EQ(holder.Picture()->Graphic(), nullptr);
    EXPECT_EQ(holder.Picture()->Width(), 0);
  }
}

TEST(PictureData, ABadBitmapRaisesAndLeavesThePreviousGraphic) {
  TPictureHolder holder(nullptr);
  holder.Picture()->Bitmap()->SetSize(3, 2);
  TBytes notBmp = {'B', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_THROW(ReadHolder(holder, Payload("TBitmap", notBmp)), EReadError);
  ASSERT_NE(holder.Picture()->Graphic(), nullptr);
  EXPECT_EQ(holder.Picture()->Width(), 3);
}

TEST(PictureData, WrittenOnlyWhenThereIsAGraphicThatDiffersFromTheAncestors) {
  TPictureHolder holder(nullptr);
  EXPECT_EQ(Written(&holder).find("Picture.Data"), std::string::npos);
  holder.Picture()->Bitmap()->SetSize(2, 2);
  EXPECT_NE(Written(&holder).find("Picture.Data"), std::string::npos);

  TPictureHolder ancestor(nullptr);
  ancestor.Picture()->Assign(holder.Picture());
  EXPECT_EQ(Written(&holder, &ancestor).find("Picture.Data"), std::string::npos);
  ancestor.Picture()->Bitmap()->SetWidth(3);
  EXPECT_NE(Written(&holder, &ancestor).find("Picture.Data"), std::string::npos);
}

struct TPictureEvents : TObject, IChangeNotifier {
  std::vector<std::string> log;
  TObject* sender = nullptr;
  void Change(TObject* s) {
    sender = s;
    log.push_back("change");
  }
  void Changed() override { log.push_back("notify"); }
};

TEST(Picture, CopiesWhatItIsGivenAndAnnouncesEveryChange) {
  TPicture picture;
  TPictureEvents events;
  picture.SetOnChange(TNotifyEvent::Bind<&TPictureEvents::Change>(&events));
  picture.SetNotify(&events);

  TBitmap bitmap;
  bitmap.SetSize(5, 4);
  picture.SetGraphic(&bitmap);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_NE(picture.Graphic(), &bitmap);
  EXPECT_TRUE(picture.Graphic()->Equals(&bitmap));
  EXPECT_EQ(events.log, (std::vector<std::string>{"change", "notify"}));
  EXPECT_EQ(events.sender, &picture);

  // A change of the graphic is a change of the picture.
  picture.Bitmap()->Canvas()->SetPixels(0, 0, clRed);
  EXPECT_EQ(events.log.size(), 4u);
  EXPECT_FALSE(picture.Graphic()->Equals(&bitmap));

  TPicture other;
  other.Assign(&picture);
  EXPECT_TRUE(other.Graphic()->Equals(picture.Graphic()));
  other.Assign(nullptr);
  EXPECT_EQ(other.Graphic(), nullptr);
  other.Assign(&bitmap);
  EXPECT_EQ(other.Width(), 5);

  // Asking for an icon replaces the bitmap.
  EXPECT_NE(other.Icon(), nullptr);
  EXPECT_TRUE(other.Graphic()->Is<TIcon>());

  TBitmap target;
  picture.Bitmap();
  target.Assign(&picture);
  EXPECT_EQ(target.Width(), 5);
}

TEST(Picture, RegisteredClassesAndClipboardFormats) {
  TPicture picture;
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(CF_METAFILEPICT));
  EXPECT_RAISES(picture.LoadFromClipboardFormat(CF_ENHMETAFILE, nullptr, nullptr), EInvalidGraphic,
                "Format de Presse-papiers non supporté");
  EXPECT_EQ(FileFormatDescription("BMP"), "Bitmaps");
  EXPECT_EQ(FileFormatDescription("ico"), "Icônes");
  EXPECT_EQ(FileFormatDescription("gif"), "");
}

TEST(Graphic, EqualityIsTheSameClassWritingTheSameBytes) {
  TBitmap a;
  TBitmap b;
  TIcon icon;
  EXPECT_TRUE(a.Equals(&b));  // both empty
  EXPECT_TRUE(a.Equals(&icon));
  a.SetSize(2, 2);
  EXPECT_FALSE(a.Equals(&b));
  b.SetSize(2, 2);
  EXPECT_TRUE(a.Equals(&b));
  b.Canvas()->SetPixels(1, 1, clBlue);
  EXPECT_FALSE(a.Equals(&b));
  EXPECT_FALSE(a.Equals(nullptr));
}

TEST(Graphic, SavedFilesLoadAgain) {
  testing::TScratchFolder folder;
  TBitmap bitmap;
  bitmap.SetSize(3, 3);
  bitmap.Canvas()->SetPixels(2, 2, clRed);
  bitmap.SaveToFile(folder.File("image.bmp"));
  TBitmap loaded;
  loaded.LoadFromFile(folder.File("image.bmp"));
  EXPECT_TRUE(loaded.Equals(&bitmap));
  EXPECT_THROW(loaded.LoadFromFile(folder.File("missing.bmp")), EFOpenError);
}

}  // namespace
}  // namespace tavelo
