// The controls' own messages: the French texts users and callers see.
#pragma once

namespace tavelo {

inline constexpr const char* SControlParentSetToSelf = "Un contrôle ne peut être son propre parent";
inline constexpr const char* SParentRequired = "Le contrôle '%s' n'a pas de fenêtre parente";
inline constexpr const char* SOutOfTimers = "Pas assez de timers disponibles";

}  // namespace tavelo
