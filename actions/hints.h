// Hint texts: a short part (tooltips) and a long part (the application hint), separated by
// the first "|"; without a bar both parts are the whole text.
#pragma once

#include "core/sysutils.h"

namespace tavelo {

class TBasicAction;

String ShortHintOf(const String& hint);
String LongHintOf(const String& hint);

// A control's hint about to show for its action: offered to the action's PrepareHint, and
// when that allows it, the application's hint-shortcuts flag is on, the action has a
// shortcut and the hint is not empty, followed by the shortcut's text in parentheses. The
// hint shows in any case.
void PrepareActionHint(TBasicAction* action, String& hint);

}  // namespace tavelo
