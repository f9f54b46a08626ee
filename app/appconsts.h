// The editor's own texts, exactly as the user sees them.
#pragma once

namespace tavelo {

// The name New gives a document; it has no folder of its own.
inline constexpr const char* SUntitled = "Sans titre.js";
// Panel 2 once the memo has changed.
inline constexpr const char* SModified = "Modifié";
// The closing question; the carriage return breaks the line in the dialog.
inline constexpr const char* SSaveChanges = "le texte a ete modifié\rsauver les changements?";
// The extension the closing save dialog forces.
inline constexpr const char* SScriptExtension = "js";
// A file with a NUL byte would lose everything after it in the memo: it is not opened.
inline constexpr const char* SNulInDocument = "Le fichier %s contient un caractère nul : ce n'est pas un texte, il n'a pas été ouvert";

}  // namespace tavelo
