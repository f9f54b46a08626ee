// Colours, arrows, check marks and the checkered pattern of the menus and tool bars.
#include "actnman/menustyle.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

#include "graphics/graphicsobjects.h"

namespace tavelo {

namespace {

constexpr double kRGBMax = 255.0;
constexpr int kUndefinedHue = kHLSMax * 2 / 3;

int RoundClamp(double value, int low, int high) {
  return std::clamp(static_cast<int>(std::lround(value)), low, high);
}

double HueToRGB(double n1, double n2, double hue) {
  if (hue < 0) hue += kHLSMax;
  if (hue > kHLSMax) hue -= kHLSMax;
  if (hue < kHLSMax / 6.0) return n1 + (n2 - n1) * hue / (kHLSMax / 6.0);
  if (hue < kHLSMax / 2.0) return n2;
  if (hue < kHLSMax * 2.0 / 3.0) return n1 + (n2 - n1) * (kHLSMax * 2.0 / 3.0 - hue) / (kHLSMax / 6.0);
  return n1;
}

// The last argument and result of one colour rule, for this thread.
struct TColorCache {
  bool Valid = false;
  TColor Argument{};
  TColor Result{};
};

thread_local TColorCache highlightCache;
thread_local TColorCache shadowCache;

TColor MoveLuminance(THLS hls, int delta) {
  hls.Luminance += delta;
  return TColor(static_cast<std::int32_t>(HLSToRGB(hls)));
}

}  // namespace

THLS RGBToHLS(COLORREF rgb) {
  const double r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  const double cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
  THLS hls;
  hls.Luminance = RoundClamp((cMax + cMin) * kHLSMax / (2 * kRGBMax), 0, kHLSMax);
  if (cMax == cMin) {
    hls.Hue = kUndefinedHue;
    return hls;
  }
  const double delta = cMax - cMin, sum = cMax + cMin;
  const double saturation = hls.Luminance <= kHLSMax / 2 ? delta * kHLSMax / sum
                                                         : delta * kHLSMax / (2 * kRGBMax - sum);
  const double rDelta = (cMax - r) * (kHLSMax / 6.0) / delta;
  const double gDelta = (cMax - g) * (kHLSMax / 6.0) / delta;
  const double bDelta = (cMax - b) * (kHLSMax / 6.0) / delta;
  double hue;
  if (r == cMax)
    hue = bDelta - gDelta;
  else if (g == cMax)
    hue = kHLSMax / 3.0 + rDelta - bDelta;
  else
    hue = kHLSMax * 2.0 / 3.0 + gDelta - rDelta;
  if (hue < 0) hue += kHLSMax;
  if (hue > kHLSMax) hue -= kHLSMax;
  hls.Hue = RoundClamp(hue, 0, kHLSMax);
  hls.Saturation = RoundClamp(saturation, 0, kHLSMax);
  return hls;
}

COLORREF HLSToRGB(const THLS& hls) {
  // Moving the luminance of a very light or very dark colour steps outside the scale; left
  // there, the channels would leave 0..255 and spill into their neighbours.
  const double hue = std::clamp(hls.Hue, 0, kHLSMax);
  const double lum = std::clamp(hls.Luminance, 0, kHLSMax);
  const double sat = std::clamp(hls.Saturation, 0, kHLSMax);
  if (sat == 0) {
    const int v = RoundClamp(lum * kRGBMax / kHLSMax, 0, 255);
    return RGB(v, v, v);
  }
  const double m2 = lum <= kHLSMax / 2 ? lum * (kHLSMax + sat) / kHLSMax : lum + sat - lum * sat / kHLSMax;
  const double m1 = 2 * lum - m2;
  const int r = RoundClamp(HueToRGB(m1, m2, hue + kHLSMax / 3.0) * kRGBMax / kHLSMax, 0, 255);
  const int g = RoundClamp(HueToRGB(m1, m2, hue) * kRGBMax / kHLSMax, 0, 255);
  const int b = RoundClamp(HueToRGB(m1, m2, hue - kHLSMax / 3.0) * kRGBMax / kHLSMax, 0, 255);
  return RGB(r, g, b);
}

TColor AdjustLuminance(TColor color, int delta) {
  return MoveLuminance(RGBToHLS(ColorToRGB(color)), delta);
}

TColor HighlightColorOf(TColor color) {
  if (highlightCache.Valid && highlightCache.Argument == color) return highlightCache.Result;
  const THLS hls = RGBToHLS(ColorToRGB(color));
  // A strongly saturated colour reads lighter when darkened a little than when washed out.
  const TColor result = MoveLuminance(hls, hls.Saturation > 220 ? -19 : 19);
  highlightCache = TColorCache{true, color, result};
  return result;
}

TColor ShadowColorOf(TColor color) {
  if (shadowCache.Valid && shadowCache.Argument == color) return shadowCache.Result;
  TColor result;
  if (color == clBtnFace) {
    result = clBtnShadow;
  } else {
    const THLS hls = RGBToHLS(ColorToRGB(color));
    result = MoveLuminance(hls, hls.Saturation >= 160 ? -50 : -52);
  }
  shadowCache = TColorCache{true, color, result};
  return result;
}

void PaintArrow(TCanvas* canvas, TScrollDirection direction, TPoint origin, int size) {
  static constexpr POINT kShapes[4][3] = {
      {{1, 0}, {0, 1}, {1, 2}},  // left
      {{0, 0}, {1, 1}, {0, 2}},  // right
      {{0, 1}, {1, 0}, {2, 1}},  // up
      {{0, 0}, {1, 1}, {2, 0}},  // down
  };
  TPoint points[3];
  for (int i = 0; i < 3; ++i)
    points[i] = Point(origin.x + kShapes[direction][i].x * size, origin.y + kShapes[direction][i].y * size);
  TBrush savedBrush;
  savedBrush.Assign(canvas->Brush());
  const int savedWidth = canvas->Pen()->Width();
  canvas->Brush()->SetColor(canvas->Pen()->Color());
  canvas->Pen()->SetWidth(1);
  canvas->Polygon(points);
  canvas->Pen()->SetWidth(savedWidth);
  canvas->Brush()->Assign(&savedBrush);
}

void PaintCheckMark(TCanvas* canvas, TPoint origin, int size, bool outline) {
  const int x = origin.x, y = origin.y, a = size;
  TPen savedPen;
  savedPen.Assign(canvas->Pen());
  canvas->Pen()->SetWidth(1);
  const TPoint mark[] = {{x, y},         {x + a, y + a},         {x + 3 * a, y - a},
                         {x + 3 * a, y - a - 1}, {x + a, y + a - 1}, {x - 1, y - 2}};
  canvas->Polyline(mark);
  if (outline) {
    canvas->Pen()->SetColor(clWhite);
    const TPoint edge[] = {{x - 1, y - 1},         {x - 1, y},
                           {x, y + 1},             {x + a, y + a + 1},
                           {x + 3 * a + 1, y - a}, {x + 3 * a + 1, y - a - 1},
                           {x + 3 * a + 1, y - a - 2}};
    canvas->Polyline(edge);
  }
  canvas->Pen()->Assign(&savedPen);
}

TBitmap* CheckeredBitmap(TColor color1, TColor color2) {
  thread_local std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<TBitmap>> patterns;
  std::unique_ptr<TBitmap>& slot = patterns[{color1, color2}];
  if (!slot) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(8, 8);
    const COLORREF first = ColorToRGB(color1), second = ColorToRGB(color2);
    TCanvas* canvas = bitmap->Canvas();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        canvas->SetPixels(x, y, TColor(static_cast<std::int32_t>((x + y) % 2 == 0 ? first : second)));
    slot = std::move(bitmap);
  }
  return slot.get();
}

void SetCheckeredBrush(TCanvas* canvas, TColor color1, TColor color2) {
  canvas->Brush()->SetBitmap(CheckeredBitmap(color1, color2));
}

}  // namespace tavelo
