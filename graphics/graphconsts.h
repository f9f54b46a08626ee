// The messages of the graphics: images, pictures, canvases and their contexts.
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

}  // namespace tavelo
