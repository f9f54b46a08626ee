// The controls' own messages: the French texts users and callers see.
#pragma once

namespace tavelo {

inline constexpr const char* SControlParentSetToSelf = "Un contrôle ne peut être son propre parent";
inline constexpr const char* SParentRequired = "Le contrôle '%s' n'a pas de fenêtre parente";
// A hint followed by its action's shortcut text.
inline constexpr const char* SHintShortCut = "%s (%s)";
inline constexpr const char* SWindowClass = "Erreur à la création de la classe fenêtre";
inline constexpr const char* SOutOfTimers = "Pas assez de timers disponibles";

}  // namespace tavelo
