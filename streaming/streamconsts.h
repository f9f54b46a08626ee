// The messages of the stream services and the class registry.
#pragma once

namespace tavelo {

inline constexpr const char* SDuplicateClass = "Une classe nommée %s existe déjà";
inline constexpr const char* SUnknownGroup = "%s n'est pas dans un groupe de recensement de classes";
inline constexpr const char* SClassNotFound = "Classe %s non trouvée";

inline constexpr const char* SInvalidImage = "Format de flux incorrect";
inline constexpr const char* SPropertyException = "Erreur lors de la lecture de %s%s%s: %s";
inline constexpr const char* SUnknownProperty = "La propriété %s n'existe pas";
inline constexpr const char* SInvalidPropertyPath = "Chemin de propriété incorrect";
inline constexpr const char* SReadOnlyProperty = "Propriété en lecture seule";
inline constexpr const char* SAncestorNotFound = "Ancêtre de '%s' non trouvé";

}  // namespace tavelo
