#include "actions/hints.h"

#include "actions/actconsts.h"
#include "actions/actionapp.h"
#include "actions/customaction.h"

namespace tavelo {

String ShortHintOf(const String& hint) {
  std::size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

String LongHintOf(const String& hint) {
  std::size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}

void PrepareActionHint(TBasicAction* action, String& hint) {
  auto* custom = DynamicCast<TCustomAction>(static_cast<TObject*>(action));
  if (!custom || !custom->PrepareHint(hint)) return;
  const TActionAppHooks& app = ActionAppHooks();
  if (app.HintShortCuts && app.HintShortCuts() && custom->ShortCut() != 0 && !hint.empty())
    hint = Format(SHintWithShortCut, {hint, ShortCutText(custom->ShortCut())});
}

}  // namespace tavelo
