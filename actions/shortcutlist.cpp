#include "actions/shortcutlist.h"

#include <cstdint>

namespace tavelo {

TAVELO_CLASS_IMPL(TShortCutList)

namespace {

TObject* CodeSlot(TShortCut code) { return reinterpret_cast<TObject*>(static_cast<std::uintptr_t>(code)); }

}  // namespace

TShortCut TShortCutList::ShortCuts(int index) const {
  return static_cast<TShortCut>(reinterpret_cast<std::uintptr_t>(Objects(index)));
}

int TShortCutList::IndexOfShortCut(TShortCut shortCut) const {
  for (int i = 0; i < Count(); ++i)
    if (ShortCuts(i) == shortCut) return i;
  return -1;
}

void TShortCutList::InsertItem(int index, String s, TObject*) {
  TShortCut code = ParseShortCut(s);
  TStringList::InsertItem(index, std::move(s), CodeSlot(code));
}

void TShortCutList::Put(int index, String s) {
  TShortCut code = ParseShortCut(s);
  TStringList::Put(index, std::move(s));
  PutObject(index, CodeSlot(code));
}

}  // namespace tavelo
