// Colours and font character sets: distinct integer types whose values have names in the
// stream (clBtnFace, DEFAULT_CHARSET).
#pragma once

#include <cstdint>

#include "core/identmaps.h"

namespace tavelo {

// RGB as 0x00BBGGRR, or a system colour 0x80000000 | n.
enum TColor : std::int32_t {};
TAVELO_INTEGER_TYPE(TColor)

inline constexpr TColor clBlack = TColor(0x00000000);
inline constexpr TColor clMaroon = TColor(0x00000080);
inline constexpr TColor clGreen = TColor(0x00008000);
inline constexpr TColor clOlive = TColor(0x00008080);
inline constexpr TColor clNavy = TColor(0x00800000);
inline constexpr TColor clPurple = TColor(0x00800080);
inline constexpr TColor clTeal = TColor(0x00808000);
inline constexpr TColor clGray = TColor(0x00808080);
inline constexpr TColor clSilver = TColor(0x00C0C0C0);
inline constexpr TColor clRed = TColor(0x000000FF);
inline constexpr TColor clLime = TColor(0x0000FF00);
inline constexpr TColor clYellow = TColor(0x0000FFFF);
inline constexpr TColor clBlue = TColor(0x00FF0000);
inline constexpr TColor clFuchsia = TColor(0x00FF00FF);
inline constexpr TColor clAqua = TColor(0x00FFFF00);
inline constexpr TColor clWhite = TColor(0x00FFFFFF);
inline constexpr TColor clMoneyGreen = TColor(0x00C0DCC0);
inline constexpr TColor clSkyBlue = TColor(0x00F0CAA6);
inline constexpr TColor clCream = TColor(0x00F0FBFF);
inline constexpr TColor clMedGray = TColor(0x00A4A0A0);
inline constexpr TColor clScrollBar = TColor(static_cast<std::int32_t>(0x80000000));
inline constexpr TColor clBackground = TColor(static_cast<std::int32_t>(0x80000001));
inline constexpr TColor clActiveCaption = TColor(static_cast<std::int32_t>(0x80000002));
inline constexpr TColor clInactiveCaption = TColor(static_cast<std::int32_t>(0x80000003));
inline constexpr TColor clMenu = TColor(static_cast<std::int32_t>(0x80000004));
inline constexpr TColor clWindow = TColor(static_cast<std::int32_t>(0x80000005));
inline constexpr TColor clWindowFrame = TColor(static_cast<std::int32_t>(0x80000006));
inline constexpr TColor clMenuText = TColor(static_cast<std::int32_t>(0x80000007));
inline constexpr TColor clWindowText = TColor(static_cast<std::int32_t>(0x80000008));
inline constexpr TColor clCaptionText = TColor(static_cast<std::int32_t>(0x80000009));
inline constexpr TColor clActiveBorder = TColor(static_cast<std::int32_t>(0x8000000A));
inline constexpr TColor clInactiveBorder = TColor(static_cast<std::int32_t>(0x8000000B));
inline constexpr TColor clAppWorkSpace = TColor(static_cast<std::int32_t>(0x8000000C));
inline constexpr TColor clHighlight = TColor(static_cast<std::int32_t>(0x8000000D));
inline constexpr TColor clHighlightText = TColor(static_cast<std::int32_t>(0x8000000E));
inline constexpr TColor clBtnFace = TColor(static_cast<std::int32_t>(0x8000000F));
inline constexpr TColor clBtnShadow = TColor(static_cast<std::int32_t>(0x80000010));
inline constexpr TColor clGrayText = TColor(static_cast<std::int32_t>(0x80000011));
inline constexpr TColor clBtnText = TColor(static_cast<std::int32_t>(0x80000012));
inline constexpr TColor clInactiveCaptionText = TColor(static_cast<std::int32_t>(0x80000013));
inline constexpr TColor clBtnHighlight = TColor(static_cast<std::int32_t>(0x80000014));
inline constexpr TColor cl3DDkShadow = TColor(static_cast<std::int32_t>(0x80000015));
inline constexpr TColor cl3DLight = TColor(static_cast<std::int32_t>(0x80000016));
inline constexpr TColor clInfoText = TColor(static_cast<std::int32_t>(0x80000017));
inline constexpr TColor clInfoBk = TColor(static_cast<std::int32_t>(0x80000018));
inline constexpr TColor clGradientActiveCaption = TColor(static_cast<std::int32_t>(0x8000001B));
inline constexpr TColor clGradientInactiveCaption = TColor(static_cast<std::int32_t>(0x8000001C));
inline constexpr TColor clNone = TColor(0x1FFFFFFF);
inline constexpr TColor clDefault = TColor(0x20000000);

bool ColorToIdent(int color, String& ident);
bool IdentToColor(const String& ident, int& color);

// A font's character set, 0..255. The platform's header makes the same names macros; the
// constants below take their place.
#undef ANSI_CHARSET
#undef DEFAULT_CHARSET
#undef SYMBOL_CHARSET
#undef OEM_CHARSET
enum TFontCharset : std::uint8_t {};
TAVELO_INTEGER_TYPE(TFontCharset)

inline constexpr TFontCharset ANSI_CHARSET = TFontCharset(0);
inline constexpr TFontCharset DEFAULT_CHARSET = TFontCharset(1);
inline constexpr TFontCharset SYMBOL_CHARSET = TFontCharset(2);
inline constexpr TFontCharset OEM_CHARSET = TFontCharset(255);

bool CharsetToIdent(int charset, String& ident);
bool IdentToCharset(const String& ident, int& charset);

}  // namespace tavelo
