// The controls' own messages: the French texts users and callers see.
#pragma once

namespace tavelo {

inline constexpr const char* SControlParentSetToSelf = "Un contrôle ne peut être son propre parent";
inline constexpr const char* SParentRequired = "Le contrôle '%s' n'a pas de fenêtre parente";
// A hint followed by its action's shortcut text.
inline constexpr const char* SHintShortCut = "%s (%s)";
inline constexpr const char* SWindowClass = "Erreur à la création de la classe fenêtre";
inline constexpr const char* SOutOfTimers = "Pas assez de timers disponibles";
// The memo's window refused a whole text.
inline constexpr const char* SMemoTextTooLarge = "Le texte dépasse la capacité du mémo";
// The forms' own.
inline constexpr const char* SVisibleChanged = "Impossible de changer Visible dans OnShow ou OnHide";
inline constexpr const char* SCannotShowModal = "Impossible de rendre modale une fenêtre visible";
inline constexpr const char* SCannotFocus = "Impossible de focaliser une fenêtre désactivée ou invisible";
inline constexpr const char* SMDIChildNotVisible = "Impossible de cacher une fiche enfant MDI";

}  // namespace tavelo
