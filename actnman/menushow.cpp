#include "actnman/menushow.h"

#include <mmsystem.h>

#include <string>
#include <vector>

namespace tavelo {

TPoint PlacePopup(TPoint anchor, TSize popup, int itemHeight, const TRect& barOnScreen, const TRect& monitor) {
  TPoint p = anchor;
  if (p.x < monitor.left) {
    p.x = monitor.left;
  } else if (p.x + popup.cx > monitor.right) {
    p.x = monitor.right - popup.cx;
    // Measured from the monitor's own left, so a monitor left of the primary one behaves
    // like any other.
    int barWidth = barOnScreen.right - barOnScreen.left;
    if (barOnScreen.left - monitor.left > barWidth) p.x = barOnScreen.left - popup.cx + 2;
  }
  if (p.y + popup.cy > monitor.bottom) p.y = anchor.y - itemHeight - popup.cy;
  return p;
}

DWORD PopupAnimationFlags(TAnimationStyle style, bool showing, bool parentAnimateNext, bool upward,
                          const TMenuAnimationSettings& settings) {
  if (style == asNone) return 0;
  if (showing && !parentAnimateNext) return 0;
  DWORD vertical = upward ? AW_VER_NEGATIVE : AW_VER_POSITIVE;
  DWORD flags = 0;
  switch (style) {
    case asDefault:
      if (!settings.MenuAnimation) return 0;
      flags = settings.MenuFade ? AW_BLEND : (AW_SLIDE | AW_HOR_POSITIVE | vertical);
      break;
    case asUnFold:
      flags = AW_SLIDE | AW_HOR_POSITIVE | vertical;
      break;
    case asSlide:
      flags = AW_SLIDE | vertical;
      break;
    case asFade:
      flags = AW_BLEND;
      break;
    case asNone:
      return 0;
  }
  if (!showing) flags |= AW_HIDE;
  return flags;
}

TMenuAnimationSettings SystemMenuAnimationSettings() {
  TMenuAnimationSettings settings;
  BOOL on = FALSE;
  if (SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &on, 0)) settings.MenuAnimation = on != FALSE;
  on = FALSE;
  if (SystemParametersInfoA(SPI_GETMENUFADE, 0, &on, 0)) settings.MenuFade = on != FALSE;
  return settings;
}

String MenuSoundPath(const char* eventName) {
  std::string key = "AppEvents\\Schemes\\Apps\\.Default\\";
  key += eventName;
  key += "\\.Current";
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return String();
  DWORD type = 0;
  DWORD size = 0;
  String result;
  if (RegQueryValueExA(handle, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 1) {
    std::vector<char> value(size + 1, '\0');
    if (RegQueryValueExA(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) ==
        ERROR_SUCCESS) {
      char expanded[4096];
      DWORD length = ExpandEnvironmentStringsA(value.data(), expanded, sizeof expanded);
      // A value that does not fit expanded is no usable path.
      if (length > 0 && length <= sizeof expanded) result = expanded;
    }
  }
  RegCloseKey(handle);
  return result;
}

void PlayMenuSound(const String& path) {
  if (path.empty()) return;
  sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT);
}

}  // namespace tavelo
