// Keyboard shortcuts: one 16-bit code per shortcut (the virtual key in the low byte, the
// modifiers in the top three bits) and its French display text, both ways.
#pragma once

#include <cstdint>

#include "core/set.h"
#include "core/sysutils.h"
#include "core/typinfo.h"

namespace tavelo {

using TShortCut = std::uint16_t;

inline constexpr TShortCut SC_NONE = 0;
inline constexpr TShortCut SC_SHIFT = 0x2000;
inline constexpr TShortCut SC_CTRL = 0x4000;
inline constexpr TShortCut SC_ALT = 0x8000;

// Modifier keys, mouse buttons and the double click of an input event.
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
TAVELO_ENUM(TShiftStateFlag, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateFlag>;

// 0 when the key does not fit in a byte.
TShortCut MakeShortCut(std::uint16_t key, TShiftState shift);
// The modifiers of a key message: Shift and Ctrl as the keyboard holds them now, Alt from
// the message's context bit (29).
TShiftState ShiftStateFromKeyData(std::int32_t keyData);
// "Maj+Ctrl+A"; empty when the key has no name.
String ShortCutText(TShortCut shortCut);
// The code whose text this is, modifiers in any order and case; 0 when none.
TShortCut ParseShortCut(const String& text);
// The platform's own name for the key in the low byte; empty when it has none.
String PlatformKeyName(TShortCut shortCut);

}  // namespace tavelo
