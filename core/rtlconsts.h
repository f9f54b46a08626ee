// The runtime's and the containers' own messages: the French texts users and callers see.
#pragma once

namespace tavelo {

inline constexpr const char* SOutOfMemory = "Mémoire insuffisante";
inline constexpr const char* SInvalidPointer = "Opération de pointeur incorrecte";
inline constexpr const char* SOutOfResources = "Ressources système insuffisantes";
inline constexpr const char* SNoTimers = "Pas assez de timers disponibles";
inline constexpr const char* SInOutError = "Erreur E/S %d";
inline constexpr const char* SFileNotFound = "Fichier introuvable";
inline constexpr const char* SAccessDenied = "Accès au fichier refusé";
inline constexpr const char* SDiskFull = "Disque plein";
inline constexpr const char* SInvalidCast = "Transtypage de classe incorrect";
inline constexpr const char* SInvalidInteger = "'%s' n'est pas une valeur entière correcte";
inline constexpr const char* SInvalidFormat = "Le format '%s' est incorrect ou incompatible avec l'argument";
inline constexpr const char* SAbstractError = "Erreur abstraite";
inline constexpr const char* SIntfCastError = "Interface non supportée";
inline constexpr const char* SOSError = "Erreur système.  Code : %d.\r\n%s";
inline constexpr const char* SUnkOSError = "Un appel à une fonction du système d'exploitation a échoué";
inline constexpr const char* SRangeError = "Erreur de vérification d'étendue";
inline constexpr const char* SException = "Exception %s dans le module %s à %p.\n%s%s";
inline constexpr const char* SExceptTitle = "Erreur d'application";

inline constexpr const char* SListIndexError = "Indice de liste hors limites (%d)";
inline constexpr const char* SListCapacityError = "Capacité de liste hors limites (%d)";
inline constexpr const char* SListCountError = "Compte de liste hors limites (%d)";
inline constexpr const char* SDuplicateItem = "La liste n'autorise pas les doublons ($0%x)";
inline constexpr const char* SSortedListError = "Opération non autorisée dans une liste ordonnée";
inline constexpr const char* SDuplicateString = "La liste de chaînes n'autorise pas les doublons";
inline constexpr const char* SBitsIndexError = "Indice de bits hors limites";
inline constexpr const char* SInvalidName = "''%s'' n'est pas un nom de composant correct";
inline constexpr const char* SDuplicateName = "Un composant nommé %s existe déjà";
inline constexpr const char* SInvalidPropertyValue = "Valeur de propriété incorrecte";
inline constexpr const char* SAssignError = "Impossible d'affecter %s à %s";

inline constexpr const char* SFCreateError = "Impossible de créer le fichier %s";
inline constexpr const char* SFOpenError = "Impossible d'ouvrir le fichier %s";
inline constexpr const char* SReadError = "Erreur de lecture du flux";
inline constexpr const char* SWriteError = "Erreur d'écriture dans le flux";
inline constexpr const char* SSeekNotImplemented = "%s.Positionnement non implémenté";
inline constexpr const char* SMemoryStreamError = "Mémoire insuffisante lors de l'extension du flux mémoire";
inline constexpr const char* SCantWriteResourceStream = "Impossible d'écrire dans un flux en lecture seule";
inline constexpr const char* SResNotFound = "Ressource %s non trouvée";

}  // namespace tavelo
