// The dialogs' and the clipboard's own texts: what users and callers see.
#pragma once

namespace tavelo {

// Message dialog captions, by kind.
inline constexpr const char* SMsgDlgWarning = "Avertissement";
inline constexpr const char* SMsgDlgError = "Erreur";
inline constexpr const char* SMsgDlgInformation = "Information";
inline constexpr const char* SMsgDlgConfirm = "Confirmation";
// Message dialog button captions, in the buttons' order.
inline constexpr const char* SMsgDlgYes = "&Oui";
inline constexpr const char* SMsgDlgNo = "&Non";
inline constexpr const char* SMsgDlgOK = "OK";
inline constexpr const char* SMsgDlgCancel = "Annuler";
inline constexpr const char* SMsgDlgAbort = "&Abandonner";
inline constexpr const char* SMsgDlgRetry = "&Retenter";
inline constexpr const char* SMsgDlgIgnore = "&Ignorer";
inline constexpr const char* SMsgDlgAll = "&Tous";
inline constexpr const char* SMsgDlgNoToAll = "Non &pour tout";
inline constexpr const char* SMsgDlgYesToAll = "O&ui pour tout";
inline constexpr const char* SMsgDlgHelp = "&Aide";

// The clipboard's.
inline constexpr const char* SCannotOpenClipboard = "Impossible d'ouvrir le Presse-papiers";
inline constexpr const char* SInvalidClipFmt = "Format de Presse-papiers incorrect";
// The names other programs of the family know our formats by.
inline constexpr const char* SPictureClipboardFormatName = "Quenda Picture";
inline constexpr const char* SComponentClipboardFormatName = "Quenda Component";

// The file dialogs': a platform failure is not a cancel, and the user hears of it.
inline constexpr const char* SFileDialogFailed = "La boîte de dialogue de fichiers a échoué (code %x)";

}  // namespace tavelo
