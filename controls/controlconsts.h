// The controls' own messages: the French texts users and callers see.
#pragma once

namespace tavelo {

inline constexpr const char* SControlParentSetToSelf = "Un contrôle ne peut être son propre parent";
inline constexpr const char* SParentRequired = "Le contrôle '%s' n'a pas de fenêtre parente";
inline constexpr const char* SWindowClass = "Erreur à la création de la classe fenêtre";
inline constexpr const char* SOutOfTimers = "Pas assez de timers disponibles";
// The memo's window refused a whole text.
inline constexpr const char* SMemoTextTooLarge = "Le texte dépasse la capacité du mémo";
// The forms' own.
inline constexpr const char* SVisibleChanged = "Impossible de changer Visible dans OnShow ou OnHide";
inline constexpr const char* SCannotShowModal = "Impossible de rendre modale une fenêtre visible";
inline constexpr const char* SCannotFocus = "Impossible de focaliser une fenêtre désactivée ou invisible";
inline constexpr const char* SMDIChildNotVisible = "Impossible de cacher une fiche enfant MDI";
// The tab control's and page control's.
inline constexpr const char* STabFailClear = "Echec à l'effacement du contrôle onglet";
inline constexpr const char* STabFailDelete = "Echec à la suppression de l'onglet d'indice %d";
inline constexpr const char* STabFailRetrieve = "Echec à la récupération de l'onglet d'indice %d";
inline constexpr const char* STabFailGetObject = "Echec à l'obtention de l'objet à l'indice %d";
inline constexpr const char* STabFailSet = "Echec pour mettre l'onglet \"%s\" à l'indice %d";
inline constexpr const char* STabFailSetObject = "Echec pour mettre l'objet à l'indice %d";
inline constexpr const char* STabMustBeMultiLine = "MultiLine doit être vrai lorsque TabPosition est tpLeft ou tpRight";
inline constexpr const char* SInvalidTabPosition = "Position d'onglet incompatible avec le style d'onglet actuel";
inline constexpr const char* SInvalidTabStyle = "Style d'onglet incompatible avec la position d'onglet actuelle";
inline constexpr const char* SPropertyOutOfRange = "Propriété %s hors limites";
inline constexpr const char* SPageIndexError =
    "%d est une valeur de PageIndex incorrecte.  PageIndex doit être compris entre 0 et %d";

}  // namespace tavelo
