// TShortCutList: an action's secondary shortcuts, one display text per line with its code
// beside it.
#pragma once

#include "core/stringlist.h"
#include "graphics/shortcuts.h"

namespace tavelo {

class TShortCutList : public TStringList {
  TAVELO_CLASS(TShortCutList, TStringList)
public:
  TShortCutList() = default;

  // The code of line index (0 when its text names no shortcut).
  TShortCut ShortCuts(int index) const;
  // The first line whose code is shortCut, or -1.
  int IndexOfShortCut(TShortCut shortCut) const;

protected:
  // Every line that comes in, however it comes, gets the code of its text; the object slot
  // holds that code.
  void InsertItem(int index, String s, TObject* object) override;
  void Put(int index, String s) override;
};

}  // namespace tavelo
