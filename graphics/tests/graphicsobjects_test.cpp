// Fonts, pens and brushes: the shared cache, lazy platform objects and the setter rules.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/canvas.h"
#include "graphics/graphicsobjects.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo {
namespace {

using testing::IsLiveObject;

// Counts the change events of a tool.
struct TChangeCounter : TObject {
  int count = 0;
  void Changed(TObject*) { ++count; }
  TNotifyEvent Event() { return TNotifyEvent::Bind<&TChangeCounter::Changed>(this); }
};

// A canvas over a memory context, to make the tools' platform objects appear.
class TMemoryCanvas {
public:
  TMemoryCanvas() : dc_(::CreateCompatibleDC(nullptr)) { canvas_.SetHandle(dc_); }
  ~TMemoryCanvas() {
    canvas_.SetHandle(nullptr);
    ::DeleteDC(dc_);
  }
  TCanvas& operator*() { return canvas_; }
  TCanvas* operator->() { return &canvas_; }

private:
  HDC dc_;
  TCanvas canvas_;
};

TEST(ResourceHash, RotatesWithinSixteenBitsAndXorsEachByte) {
  const std::uint8_t twoBytes[] = {0x01, 0x02};
  EXPECT_EQ(ResourceHash(twoBytes, sizeof twoBytes), 0x0022);
  // 0x80 rotated left by 5 three times wraps around the 16 bits: 0x1000, then 0x0002, 0x0040.
  const std::uint8_t wrapping[] = {0x80, 0x00, 0x00, 0x00};
  EXPECT_EQ(ResourceHash(wrapping, sizeof wrapping), 0x0040);
  EXPECT_EQ(ResourceHash(nullptr, 0), 0);
}

TEST(FontCache, EqualSettingsShareOneEntryAndAChangeMovesOnlyTheChangedFont) {
  TFont a;
  TFont b;
  a.SetName("Courier New");
  a.SetHeight(-17);
  b.SetName("Courier New");
  b.SetHeight(-17);
  ASSERT_EQ(a.Resource(), b.Resource());
  EXPECT_EQ(a.Resource()->RefCount, 2);

  // The colour is not part of the record.
  b.SetColor(clRed);
  EXPECT_EQ(a.Resource(), b.Resource());

  const TResource<TFontData>* shared = a.Resource();
  b.SetStyle({fsItalic});
  EXPECT_NE(a.Resource(), b.Resource());
  EXPECT_EQ(a.Resource(), shared);
  EXPECT_EQ(shared->RefCount, 1);
  EXPECT_EQ(a.Style(), TFontStyles());
  EXPECT_EQ(a.Name(), "Courier New");
  EXPECT_EQ(a.Height(), -17);
}

TEST(FontCache, NamesAreZeroFilledSoAShortenedNameMatchesAFreshOne) {
  TFont a;
  TFont b;
  a.SetName("A face name much longer than the record keeps");
  EXPECT_EQ(a.Name(), "A face name much longer than th");
  a.SetName("Arial");
  b.SetName("Arial");
  EXPECT_EQ(a.Resource(), b.Resource());
}

TEST(FontCache, ThePlatformFontAppearsWhenDrawnAndGoesWithTheLastUser) {
  auto* first = new TFont;
  first->SetName("Courier New");
  first->SetHeight(-23);
  auto* second = new TFont;
  second->Assign(first);
  ASSERT_EQ(first->Resource(), second->Resource());
  EXPECT_EQ(first->Resource()->Handle, nullptr);

  HFONT handle;
  {
    TMemoryCanvas canvas;
    canvas->SetFont(first);
    EXPECT_EQ(canvas->Font()->Resource(), first->Resource());
    EXPECT_EQ(first->Resource()->Handle, nullptr);
    canvas->TextOut(0, 0, "x");
    handle = first->Resource()->Handle;
    ASSERT_TRUE(IsLiveObject(handle));
    EXPECT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
  }
  delete first;
  EXPECT_TRUE(IsLiveObject(handle));
  delete second;
  EXPECT_FALSE(IsLiveObject(handle));
}

TEST(FontCache, PlatformFontFollowsTheRecord) {
  TFont font;
  font.SetName("default");
  font.SetHeight(-15);
  font.SetStyle({fsBold, fsUnderline, fsStrikeOut});
  font.SetCharset(ANSI_CHARSET);
  font.SetPitch(fpFixed);
  LOGFONTA made = {};
  ASSERT_NE(::GetObjectA(font.Handle(), sizeof made, &made), 0);
  EXPECT_EQ(made.lfHeight, -15);
  EXPECT_EQ(made.lfWeight, 700);
  EXPECT_FALSE(made.lfItalic);
  EXPECT_TRUE(made.lfUnderline);
  EXPECT_TRUE(made.lfStrikeOut);
  EXPECT_EQ(made.lfCharSet, 0);
  EXPECT_EQ(made.lfPitchAndFamily & 0x0F, FIXED_PITCH);
  // "Default" in any case means the default font's face.
  EXPECT_STREQ(made.lfFaceName, "MS Sans Serif");
}

TEST(FontCache, AnExistingPlatformFontIsAdoptedAndOwnedByTheCache) {
  LOGFONTA description = {};
  description.lfHeight = -20;
  description.lfWeight = 800;
  description.lfItalic = TRUE;
  description.lfCharSet = ANSI_CHARSET;
  description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(description.lfFaceName, "Times New Roman");
  HFONT existing = ::CreateFontIndirectA(&description);
  ASSERT_TRUE(IsLiveObject(existing));
  {
    TFont font;
    TChangeCounter changes;
    font.SetOnChange(changes.Event());
    font.SetHandle(existing);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(font.Handle(), existing);
    EXPECT_EQ(font.Height(), -20);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Charset(), ANSI_CHARSET);
    EXPECT_EQ(font.Pitch(), fpVariable);
    EXPECT_EQ(font.Name(), "Times New Roman");
  }
  EXPECT_FALSE(IsLiveObject(existing));
}

TEST(Font, DefaultsAndChangeEvents) {
  TFont font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -::MulDiv(8, ScreenPixelsPerInch(), 72));
  EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(font.Color(), clWindowText);
  EXPECT_EQ(font.Pitch(), fpDefault);
  EXPECT_EQ(font.Style(), TFontStyles());
  EXPECT_EQ(font.PixelsPerInch(), ScreenPixelsPerInch());

  TChangeCounter changes;
  font.SetOnChange(changes.Event());
  font.SetName("MS Sans Serif");
  font.SetColor(clWindowText);
  font.SetHeight(font.Height());
  EXPECT_EQ(changes.count, 0);
  font.SetColor(clBlue);
  EXPECT_EQ(changes.count, 1);
  font.SetHeight(-30);
  EXPECT_EQ(changes.count, 2);
}

TEST(Font, SizeAndHeightConvertAtThePixelsPerInch) {
  TFont font;
  font.SetPixelsPerInch(96);
  font.SetHeight(-11);
  EXPECT_EQ(font.Size(), 8);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -13);
  font.SetPixelsPerInch(120);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -17);
}

TEST(Font, AssignSharesTheEntryCopiesTheColourAndKeepsThePointSizeAcrossResolutions) {
  TFont source;
  source.SetPixelsPerInch(96);
  source.SetHeight(-16);
  source.SetColor(clMaroon);
  TFont target;
  target.SetPixelsPerInch(96);
  target.Assign(&source);
  EXPECT_EQ(target.Resource(), source.Resource());
  EXPECT_EQ(target.Color(), clMaroon);

  TFont other;
  other.SetPixelsPerInch(144);
  other.Assign(&source);
  EXPECT_EQ(other.Size(), 12);
  EXPECT_EQ(other.Height(), -24);
}

TEST(Font, PublishesTheStreamPropertiesInOrderAndNeverStoresSize) {
  std::vector<String> names;
  for (const TPropInfo* property : TFont::StaticClass()->Properties()) names.push_back(property->Name());
  EXPECT_EQ(names, (std::vector<String>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  TFont font;
  EXPECT_FALSE(TFont::StaticClass()->FindProperty("Size")->IsStored(&font));
}

TEST(Pen, DefaultsWidthRuleAndModeOutsideTheRecord) {
  TPen pen;
  EXPECT_EQ(pen.Color(), clBlack);
  EXPECT_EQ(pen.Width(), 1);
  EXPECT_EQ(pen.Style(), psSolid);
  EXPECT_EQ(pen.Mode(), pmCopy);

  TChangeCounter changes;
  pen.SetOnChange(changes.Event());
  pen.SetWidth(-1);
  EXPECT_EQ(pen.Width(), 1);
  EXPECT_EQ(changes.count, 0);
  pen.SetWidth(3);
  EXPECT_EQ(pen.Width(), 3);

  TPen other;
  other.SetWidth(3);
  const TResource<TPenData>* shared = other.Resource();
  EXPECT_EQ(pen.Resource(), shared);
  pen.SetMode(pmXor);
  EXPECT_EQ(pen.Resource(), shared);
  EXPECT_EQ(changes.count, 2);

  other.Assign(&pen);
  EXPECT_EQ(other.Mode(), pmXor);
}

TEST(Pen, PlatformPenHasTheStyleWidthAndResolvedColour) {
  TPen pen;
  pen.SetStyle(psDashDot);
  pen.SetColor(clBtnFace);
  LOGPEN made = {};
  ASSERT_NE(::GetObjectA(pen.Handle(), sizeof made, &made), 0);
  EXPECT_EQ(made.lopnStyle, static_cast<UINT>(PS_DASHDOT));
  EXPECT_EQ(made.lopnWidth.x, 1);
  EXPECT_EQ(made.lopnColor, ::GetSysColor(COLOR_BTNFACE));
}

TEST(Brush, ClearMeansWhiteAndAColourMakesItSolidAgain) {
  TBrush brush;
  EXPECT_EQ(brush.Color(), clWhite);
  EXPECT_EQ(brush.Style(), bsSolid);
  brush.SetColor(clNavy);
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.Style(), bsClear);
  EXPECT_EQ(brush.Color(), clWhite);
  brush.SetColor(clWhite);
  EXPECT_EQ(brush.Style(), bsSolid);
  brush.SetStyle(bsClear);
  brush.SetColor(clYellow);
  EXPECT_EQ(brush.Style(), bsSolid);
  EXPECT_EQ(brush.Color(), clYellow);
}

TEST(Brush, PlatformBrushPerStyle) {
  TBrush brush;
  brush.SetColor(clRed);
  LOGBRUSH made = {};
  ASSERT_NE(::GetObjectA(brush.Handle(), sizeof made, &made), 0);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(made.lbColor, 0x0000FFu);

  brush.SetStyle(bsDiagCross);
  ASSERT_NE(::GetObjectA(brush.Handle(), sizeof made, &made), 0);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(made.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));

  brush.SetStyle(bsClear);
  ASSERT_NE(::GetObjectA(brush.Handle(), sizeof made, &made), 0);
  EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_HOLLOW));
}

}  // namespace
}  // namespace tavelo
