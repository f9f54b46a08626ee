#include "graphics/shortcuts.h"

#include "core/system.h"
#include "graphics/graphconsts.h"

namespace tavelo {

namespace {

// Keys 32..40, in key order.
const char* const kNavigationKeys[] = {SKeySpace, SKeyPageUp, SKeyPageDown, SKeyEnd, SKeyHome,
                                       SKeyLeft,  SKeyUp,     SKeyRight,    SKeyDown};

String KeyText(unsigned key) {
  if (key == 8) return SKeyBackspace;
  if (key == 9) return SKeyTab;
  if (key == 13) return SKeyEnter;
  if (key == 27) return SKeyEscape;
  if (key >= 32 && key <= 40) return kNavigationKeys[key - 32];
  if (key == 45) return SKeyInsert;
  if (key == 46) return SKeyDelete;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, static_cast<char>(key));
  // The numeric pad's digits read like the top row's.
  if (key >= 96 && key <= 105) return String(1, static_cast<char>(key - 48));
  if (key >= 112 && key <= 135) return "F" + IntToStr(key - 111);
  return sys::KeyName(static_cast<int>(key));
}

bool SameText(const String& a, const String& b) { return sys::CompareLocale(a, b, true) == 0; }

// Strips prefix from the front of text when it is there, case aside.
bool StripPrefix(String& text, const String& prefix) {
  if (text.size() < prefix.size() || !SameText(text.substr(0, prefix.size()), prefix)) return false;
  text.erase(0, prefix.size());
  return true;
}

}  // namespace

TShortCut MakeShortCut(std::uint16_t key, TShiftState shift) {
  if (key & 0xFF00) return SC_NONE;
  unsigned code = key;
  if (shift.Contains(ssShift)) code += SC_SHIFT;
  if (shift.Contains(ssCtrl)) code += SC_CTRL;
  if (shift.Contains(ssAlt)) code += SC_ALT;
  return static_cast<TShortCut>(code);
}

TShiftState ShiftStateFromKeyData(std::int32_t keyData) {
  const int kShiftKey = 16, kControlKey = 17;
  TShiftState state;
  if (sys::KeyDown(kShiftKey)) state.Include(ssShift);
  if (sys::KeyDown(kControlKey)) state.Include(ssCtrl);
  if (keyData & 0x20000000) state.Include(ssAlt);
  return state;
}

String ShortCutText(TShortCut shortCut) {
  String name = KeyText(shortCut & 0xFF);
  if (name.empty()) return String();
  String text;
  if (shortCut & SC_SHIFT) text += SKeyShiftPrefix;
  if (shortCut & SC_CTRL) text += SKeyCtrlPrefix;
  if (shortCut & SC_ALT) text += SKeyAltPrefix;
  return text + name;
}

TShortCut ParseShortCut(const String& text) {
  String rest = text;
  unsigned modifiers = 0;
  for (;;) {
    if (StripPrefix(rest, SKeyShiftPrefix)) modifiers |= SC_SHIFT;
    else if (StripPrefix(rest, "^")) modifiers |= SC_CTRL;
    else if (StripPrefix(rest, SKeyCtrlPrefix)) modifiers |= SC_CTRL;
    else if (StripPrefix(rest, SKeyAltPrefix)) modifiers |= SC_ALT;
    else break;
  }
  if (rest.empty()) return SC_NONE;
  // Up to 0x255 rather than 0xFF: codes past a byte name their low byte, so they only match
  // texts that no real key code does.
  for (unsigned code = 8; code <= 0x255; ++code) {
    if (SameText(ShortCutText(static_cast<TShortCut>(code)), rest)) return static_cast<TShortCut>(code | modifiers);
  }
  return SC_NONE;
}

String PlatformKeyName(TShortCut shortCut) { return sys::KeyName(shortCut & 0xFF); }

}  // namespace tavelo
