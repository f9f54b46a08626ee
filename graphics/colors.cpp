#include "graphics/colors.h"

#include <climits>

namespace tavelo {

namespace {

// In table order: the value-to-name direction gives the first name of a value.
const TIdentMapEntry kColors[] = {
    {0x00000000, "clBlack"}, {0x00000080, "clMaroon"}, {0x00008000, "clGreen"}, {0x00008080, "clOlive"},
    {0x00800000, "clNavy"}, {0x00800080, "clPurple"}, {0x00808000, "clTeal"}, {0x00808080, "clGray"},
    {0x00C0C0C0, "clSilver"}, {0x000000FF, "clRed"}, {0x0000FF00, "clLime"}, {0x0000FFFF, "clYellow"},
    {0x00FF0000, "clBlue"}, {0x00FF00FF, "clFuchsia"}, {0x00FFFF00, "clAqua"}, {0x00FFFFFF, "clWhite"},
    {0x00C0DCC0, "clMoneyGreen"}, {0x00F0CAA6, "clSkyBlue"}, {0x00F0FBFF, "clCream"}, {0x00A4A0A0, "clMedGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"}, {clMenu, "clMenu"}, {clMenuText, "clMenuText"},
    {clNone, "clNone"}, {clScrollBar, "clScrollBar"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"}};

const TIdentMapEntry kCharsets[] = {
    {0, "ANSI_CHARSET"}, {1, "DEFAULT_CHARSET"}, {2, "SYMBOL_CHARSET"}, {77, "MAC_CHARSET"},
    {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"}, {130, "JOHAB_CHARSET"}, {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"}, {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"}, {177, "HEBREW_CHARSET"},
    {178, "ARABIC_CHARSET"}, {186, "BALTIC_CHARSET"}, {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"}, {255, "OEM_CHARSET"}};

}  // namespace

bool ColorToIdent(int color, String& ident) { return IntToIdent(color, ident, kColors); }
bool IdentToColor(const String& ident, int& color) { return IdentToInt(ident, color, kColors); }
bool CharsetToIdent(int charset, String& ident) { return IntToIdent(charset, ident, kCharsets); }
bool IdentToCharset(const String& ident, int& charset) { return IdentToInt(ident, charset, kCharsets); }

TAVELO_INTEGER_TYPE_IMPL(TColor, otSLong, INT_MIN, INT_MAX, IdentToColor, ColorToIdent)
TAVELO_INTEGER_TYPE_IMPL(TFontCharset, otUByte, 0, 255, IdentToCharset, CharsetToIdent)

}  // namespace tavelo
