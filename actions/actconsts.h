// The actions' own texts.
#pragma once

namespace tavelo {

// A hint followed by the action's shortcut text.
inline constexpr const char* SHintWithShortCut = "%s (%s)";

}  // namespace tavelo
