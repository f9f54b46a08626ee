// The action manager's own messages: the French texts users and callers see. Each part of the
// folder keeps its own block.
#pragma once

namespace tavelo {

// ---- The manager, its items, the bars and the settings file.
inline constexpr const char* SActionBarParentBound =
    "Impossible d'affecter un sous-élément à une barre d'actions lorsque l'un de ses parents est déjà "
    "affecté à une barre d'actions";
inline constexpr const char* SCircularActionList = "Les références circulaires ne sont pas autorisées.";
// A linked list's caption when it has neither caption nor name.
inline constexpr const char* SNoListName = "(pas de nom)";
// A bar item's display name, followed by its bar's name.
inline constexpr const char* SActionBarDisplayName = "ActionBar ->";
inline constexpr const char* SHidingNotAllowed = "%s ne permet pas la dissimulation";
inline constexpr const char* SSettingsLoadError =
    "Erreur lors du chargement du fichier de paramètres précédemment enregistré : %s";
inline constexpr const char* SSettingsDeleteQuestion = "Souhaitez-vous le supprimer ?";
inline constexpr const char* SSettingsSaveError = "Impossible de sauvegarder les paramètres";

// ---- The menus.
// The hint of the button that shows a popup's unused items.
inline constexpr const char* SExpandMenu = "Etendre";
inline constexpr const char* SDeleteItemWithSubItems =
    "L'élément %s comporte des sous-éléments ; le supprimer quand même ?";

}  // namespace tavelo

namespace tavelo {

// ---- The tool bar.
// The overflow button's hint.
inline constexpr const char* SMoreButtons = "Boutons supplémentaires";
inline constexpr const char* SAddRemoveButtons = "&Ajouter ou supprimer des boutons";
inline constexpr const char* SResetToolBar = "Réinitialiser la barre d'outils";

}  // namespace tavelo
