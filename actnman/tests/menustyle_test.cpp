// The colours derived from a bar colour, their limits, and the small shapes drawn in menus
// and on buttons.
#include <gtest/gtest.h>

#include <thread>

#include "actnman/menustyle.h"
#include "graphics/canvas.h"
#include "graphics/graphicsobjects.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {
namespace {

COLORREF Rgb(TColor color) { return static_cast<COLORREF>(color); }
bool IsRgb(TColor color) { return (static_cast<std::uint32_t>(color) & 0xFF000000u) == 0; }

TEST(MenuStyleColors, HlsOfKnownColours) {
  THLS grey = RGBToHLS(RGB(192, 192, 192));
  EXPECT_EQ(grey.Hue, 160);
  EXPECT_EQ(grey.Saturation, 0);
  EXPECT_EQ(grey.Luminance, 181);
  THLS red = RGBToHLS(RGB(255, 0, 0));
  EXPECT_EQ(red.Hue, 0);
  EXPECT_EQ(red.Luminance, 120);
  EXPECT_EQ(red.Saturation, 240);
  THLS blue = RGBToHLS(RGB(0, 0, 255));
  EXPECT_EQ(blue.Hue, 160);
  EXPECT_EQ(blue.Saturation, 240);
  THLS green = RGBToHLS(RGB(0, 128, 0));
  EXPECT_EQ(green.Hue, 80);
  EXPECT_EQ(green.Luminance, 60);
  // There and back keeps a colour within rounding.
  for (COLORREF c : {RGB(255, 0, 0), RGB(0, 128, 0), RGB(212, 208, 200), RGB(10, 36, 106), RGB(255, 255, 255)}) {
    COLORREF back = HLSToRGB(RGBToHLS(c));
    EXPECT_NEAR(GetRValue(back), GetRValue(c), 2) << std::hex << c;
    EXPECT_NEAR(GetGValue(back), GetGValue(c), 2) << std::hex << c;
    EXPECT_NEAR(GetBValue(back), GetBValue(c), 2) << std::hex << c;
  }
}

TEST(MenuStyleColors, HighlightLightensByNineteenStepsUnlessStronglySaturated) {
  // The button face: the same hue and saturation, luminance + 19.
  THLS face = RGBToHLS(ColorToRGB(clBtnFace));
  ASSERT_LE(face.Saturation, 220);
  THLS lighter = face;
  lighter.Luminance += 19;
  EXPECT_EQ(Rgb(HighlightColorOf(clBtnFace)), HLSToRGB(lighter));
  EXPECT_TRUE(IsRgb(HighlightColorOf(clBtnFace)));
  // Silver: luminance 181 -> 200, a grey of 200 * 255 / 240.
  EXPECT_EQ(Rgb(HighlightColorOf(clSilver)), RGB(213, 213, 213));
  // Pure red has saturation 240: darkened instead, to luminance 101.
  COLORREF darkRed = Rgb(HighlightColorOf(clRed));
  EXPECT_EQ(RGBToHLS(darkRed).Luminance, 101);
  EXPECT_EQ(RGBToHLS(darkRed).Hue, 0);
  EXPECT_EQ(darkRed, RGB(215, 0, 0));
}

TEST(MenuStyleColors, ShadowOfTheFaceIsTheButtonShadow) {
  EXPECT_EQ(ShadowColorOf(clBtnFace), clBtnShadow);
  // Saturation below 160: luminance - 52.
  EXPECT_EQ(Rgb(ShadowColorOf(clSilver)), RGB(137, 137, 137));
  // Saturation 160 or more: luminance - 50.
  EXPECT_EQ(RGBToHLS(Rgb(ShadowColorOf(clRed))).Luminance, 70);
  // Another system colour is resolved first.
  THLS window = RGBToHLS(ColorToRGB(clWindow));
  window.Luminance += window.Saturation >= 160 ? -50 : -52;
  EXPECT_EQ(Rgb(ShadowColorOf(clWindow)), HLSToRGB(window));
}

TEST(MenuStyleColors, DarkAndLightSchemesStayValidColours) {
  // Below black and above white the luminance stops at the ends of its scale.
  EXPECT_EQ(ShadowColorOf(clBlack), clBlack);
  EXPECT_EQ(Rgb(ShadowColorOf(TColor(RGB(20, 0, 0)))), RGB(0, 0, 0));
  EXPECT_EQ(Rgb(HighlightColorOf(clBlack)), RGB(20, 20, 20));
  EXPECT_EQ(Rgb(HighlightColorOf(clWhite)), RGB(255, 255, 255));
  EXPECT_EQ(Rgb(HighlightColorOf(TColor(RGB(250, 240, 240)))), RGB(255, 255, 255));
  EXPECT_EQ(Rgb(AdjustLuminance(clNavy, -300)), RGB(0, 0, 0));
  EXPECT_EQ(Rgb(AdjustLuminance(clNavy, 300)), RGB(255, 255, 255));
  // Out-of-range components given directly are clamped too.
  EXPECT_EQ(HLSToRGB(THLS{500, 120, 900}), HLSToRGB(THLS{240, 120, 240}));
  for (int lum = -60; lum <= 300; lum += 7)
    for (COLORREF c : {RGB(255, 0, 0), RGB(0, 0, 128), RGB(212, 208, 200), RGB(255, 255, 0)}) {
      THLS hls = RGBToHLS(c);
      hls.Luminance = lum;
      EXPECT_EQ(HLSToRGB(hls) & 0xFF000000u, 0u);
    }
}

TEST(MenuStyleColors, EachThreadRemembersItsOwnLastColour) {
  TColor here = HighlightColorOf(clSilver);
  TColor there{}, thereShadow{};
  std::thread other([&] {
    there = HighlightColorOf(clNavy);
    thereShadow = ShadowColorOf(clSilver);
  });
  other.join();
  EXPECT_EQ(HighlightColorOf(clSilver), here);
  EXPECT_EQ(there, AdjustLuminance(clNavy, -19));  // saturation 240: darkened
  EXPECT_EQ(Rgb(thereShadow), RGB(137, 137, 137));
}

class MenuStyleShapes : public ::testing::Test {
protected:
  MenuStyleShapes() : surface(32, 32) {
    surface.Fill(RGB(255, 255, 255));
    canvas.SetHandle(surface.Dc());
  }
  ~MenuStyleShapes() override { canvas.SetHandle(nullptr); }
  TSurface surface;
  TCanvas canvas;
};

TEST_F(MenuStyleShapes, ArrowsFillTheirTriangleAndLeaveTheToolsAsTheyWere) {
  canvas.Pen()->SetColor(clRed);
  canvas.Pen()->SetWidth(3);
  canvas.Brush()->SetStyle(bsClear);
  PaintArrow(&canvas, sdRight, Point(2, 2), 3);  // (2,2) (5,5) (2,8)
  EXPECT_EQ(surface.At(3, 5), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(2, 8), RGB(255, 0, 0));
  EXPECT_EQ(surface.At(7, 5), RGB(255, 255, 255));
  EXPECT_EQ(surface.At(5, 2), RGB(255, 255, 255));
  EXPECT_EQ(canvas.Pen()->Width(), 3);
  EXPECT_EQ(canvas.Brush()->Style(), bsClear);

  canvas.Pen()->SetColor(clBlue);
  PaintArrow(&canvas, sdDown, Point(12, 20), 2);  // (12,20) (14,22) (16,20)
  EXPECT_EQ(surface.At(14, 21), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(14, 23), RGB(255, 255, 255));
  PaintArrow(&canvas, sdUp, Point(20, 2), 2);  // (20,4) (22,2) (24,4)
  EXPECT_EQ(surface.At(22, 3), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(22, 1), RGB(255, 255, 255));
  PaintArrow(&canvas, sdLeft, Point(20, 20), 3);  // (23,20) (20,23) (23,26)
  EXPECT_EQ(surface.At(22, 23), RGB(0, 0, 255));
  EXPECT_EQ(surface.At(19, 23), RGB(255, 255, 255));
}

TEST_F(MenuStyleShapes, CheckMarkWithItsWhiteOutline) {
  surface.Fill(RGB(128, 128, 128));
  canvas.Pen()->SetColor(clBlack);
  canvas.Pen()->SetWidth(2);
  PaintCheckMark(&canvas, Point(6, 12), 2, true);
  // The stroke from (6,12) down to (8,14) and up to (12,10).
  EXPECT_EQ(surface.At(7, 13), RGB(0, 0, 0));
  EXPECT_EQ(surface.At(10, 12), RGB(0, 0, 0));
  // The outline runs one pixel under it.
  EXPECT_EQ(surface.At(7, 14), RGB(255, 255, 255));
  EXPECT_EQ(surface.At(5, 11), RGB(255, 255, 255));
  EXPECT_EQ(surface.At(20, 20), RGB(128, 128, 128));
  EXPECT_EQ(canvas.Pen()->Color(), clBlack);
  EXPECT_EQ(canvas.Pen()->Width(), 2);

  surface.Fill(RGB(128, 128, 128));
  PaintCheckMark(&canvas, Point(6, 12), 2, false);
  EXPECT_EQ(surface.At(7, 13), RGB(0, 0, 0));
  EXPECT_EQ(surface.At(7, 14), RGB(128, 128, 128));
}

TEST_F(MenuStyleShapes, CheckeredBrushAlternatesItsColoursPixelByPixel) {
  EXPECT_EQ(CheckeredBitmap(clRed, clBlue), CheckeredBitmap(clRed, clBlue));
  EXPECT_NE(CheckeredBitmap(clRed, clBlue), CheckeredBitmap(clBlue, clRed));
  SetCheckeredBrush(&canvas, clRed, clBlue);
  canvas.FillRect(Rect(0, 0, 32, 32));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(surface.At(x, y), (x + y) % 2 == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255)) << x << "," << y;
}

}  // namespace
}  // namespace tavelo::testing
