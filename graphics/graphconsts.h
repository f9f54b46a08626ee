// The texts of the graphics: messages of images, pictures, canvases, image lists and their
// contexts; the key names of shortcut texts.
#pragma once

namespace tavelo {

inline constexpr const char* SInvalidBitmap = "Image bitmap incorrecte";
inline constexpr const char* SInvalidIcon = "Image icône incorrecte";
inline constexpr const char* SChangeIconSize = "Impossible de modifier la taille d'une icône";
inline constexpr const char* SUnknownClipboardFormat = "Format de Presse-papiers non supporté";
inline constexpr const char* SNoCanvasHandle = "Le canevas ne permet pas de dessiner";
inline constexpr const char* SWindowDCError = "Erreur à la création du contexte périphérique fenêtre";
inline constexpr const char* SParentRequired = "Le contrôle '%s' n'a pas de fenêtre parente";

inline constexpr const char* SVMetafiles = "Métafichiers";
inline constexpr const char* SVEnhMetafiles = "Métafichiers évolués";
inline constexpr const char* SVIcons = "Icônes";
inline constexpr const char* SVBitmaps = "Bitmaps";

// Key names, in the order of the shortcut text table.
inline constexpr const char* SKeyBackspace = "RetArr";
inline constexpr const char* SKeyTab = "Tab";
inline constexpr const char* SKeyEscape = "Echap";
inline constexpr const char* SKeyEnter = "Entrée";
inline constexpr const char* SKeySpace = "Espace";
inline constexpr const char* SKeyPageUp = "PagePréc";
inline constexpr const char* SKeyPageDown = "PageSuiv";
inline constexpr const char* SKeyEnd = "Fin";
inline constexpr const char* SKeyHome = "Origine";
inline constexpr const char* SKeyLeft = "Gauche";
inline constexpr const char* SKeyUp = "Haut";
inline constexpr const char* SKeyRight = "Droite";
inline constexpr const char* SKeyDown = "Bas";
inline constexpr const char* SKeyInsert = "Ins";
inline constexpr const char* SKeyDelete = "Suppr";
inline constexpr const char* SKeyShiftPrefix = "Maj+";
inline constexpr const char* SKeyCtrlPrefix = "Ctrl+";
inline constexpr const char* SKeyAltPrefix = "Alt+";

inline constexpr const char* SInvalidImageSize = "Taille d'image incorrecte";
inline constexpr const char* SInvalidImageList = "ImageList incorrecte";
inline constexpr const char* SImageIndexError = "Indice ImageList incorrect";
inline constexpr const char* SReplaceImage = "Impossible de remplacer l'image";
inline constexpr const char* SImageReadFail = "Erreur à la lecture des données ImageList du flux";
inline constexpr const char* SImageWriteFail = "Erreur à l'écriture des données ImageList dans le flux";

}  // namespace tavelo
