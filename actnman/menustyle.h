// The drawing the menus and tool bars share: colours derived from a bar's colour by moving
// its luminance, arrows, the check mark and the checkered fill of a checked button.
#pragma once

#include <windows.h>

#include "graphics/bitmap.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"

namespace tavelo {

// Hue, luminance and saturation, each on a 0..240 scale.
struct THLS {
  int Hue = 0;
  int Luminance = 0;
  int Saturation = 0;
};
inline constexpr int kHLSMax = 240;

// An RGB colour (0x00BBGGRR, not a system colour) and back. A grey has saturation 0 and hue
// 160. Values out of range are clamped, so the result is always a valid RGB colour.
THLS RGBToHLS(COLORREF rgb);
COLORREF HLSToRGB(const THLS& hls);
// The colour (system colours resolved) with its luminance moved by delta, kept within 0..240.
TColor AdjustLuminance(TColor color, int delta);

// The lighter and darker companions of a bar colour for raised frames and separators; each
// remembers its last argument and result per thread.
TColor HighlightColorOf(TColor color);
TColor ShadowColorOf(TColor color);

enum TScrollDirection { sdLeft, sdRight, sdUp, sdDown };
enum TArrowType { atSolid, atArrows };

// A filled triangle in the pen colour pointing in direction, its points at multiples of size
// from origin. The pen and brush are left as they were.
void PaintArrow(TCanvas* canvas, TScrollDirection direction, TPoint origin, int size);
// A check mark of size a from origin in the pen colour; with outline a white edge under it.
void PaintCheckMark(TCanvas* canvas, TPoint origin, int size, bool outline);

// An 8x8 pattern of the two colours alternating pixel by pixel, for a pattern brush. The
// bitmaps are kept for the thread's life: a brush in use may still refer to one.
TBitmap* CheckeredBitmap(TColor color1, TColor color2);
// Makes the canvas's brush that pattern.
void SetCheckeredBrush(TCanvas* canvas, TColor color1, TColor color2);

}  // namespace tavelo
