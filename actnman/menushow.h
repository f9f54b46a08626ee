// How a popup menu comes to the screen: where it goes next to the item that opened it, which
// window animation brings it in or takes it away, and the sounds the user's scheme sets for
// menus. The placement and the animation choice are pure, so they are tested without windows.
#pragma once

#include <windows.h>

#include "core/sysutils.h"
#include "core/typinfo.h"
#include "graphics/canvas.h"

namespace tavelo {

enum TAnimationStyle { asNone, asDefault, asUnFold, asSlide, asFade };
TAVELO_ENUM(TAnimationStyle, asNone, asDefault, asUnFold, asSlide, asFade)

// Where the popup's top-left goes, given the anchor (already in screen coordinates: just
// below the item, or beside it on a vertical bar), the popup's size, the opening item's height,
// the screen rectangle of the bar that owns the item and the monitor's rectangle (right and
// bottom are its left plus width and top plus height). Past the right edge the popup ends at
// it, or goes left of its bar when the bar lies further from the monitor's left than it is
// wide (a sub-menu of a popup near the right edge); past the bottom it opens above the item.
TPoint PlacePopup(TPoint anchor, TSize popup, int itemHeight, const TRect& barOnScreen, const TRect& monitor);

// The platform's menu settings the animation depends on.
struct TMenuAnimationSettings {
  bool MenuAnimation = false;  // menus animate at all
  bool MenuFade = false;       // and fade rather than slide
};
inline constexpr DWORD kPopupAnimationTime = 180;

// The animation flags for showing or hiding a popup (0: none). parentAnimateNext is the
// opening menu's AnimateNext; upward tells a popup placed above its item.
DWORD PopupAnimationFlags(TAnimationStyle style, bool showing, bool parentAnimateNext, bool upward,
                          const TMenuAnimationSettings& settings);
TMenuAnimationSettings SystemMenuAnimationSettings();

// The sound file the user's scheme gives to a menu event ("MenuPopup", "MenuCommand"), with
// environment variables expanded; empty when none is set.
String MenuSoundPath(const char* eventName);
// Plays it asynchronously, never falling back to the default sound; nothing when empty.
void PlayMenuSound(const String& path);

}  // namespace tavelo
