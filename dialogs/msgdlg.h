// The message dialog: a small modal form built at run time from a text, a kind (its caption
// and icon) and a set of buttons, each closing it with its own modal result. Ctrl+C copies
// what it says to the clipboard.
#pragma once

#include <windows.h>

#include "controls/forms.h"
#include "controls/stdctrls.h"

namespace tavelo {

enum TMessageKind { DialogWarning, DialogError, DialogInformation, DialogConfirmation, DialogCustom };
TAVELO_ENUM(TMessageKind, DialogWarning, DialogError, DialogInformation, DialogConfirmation, DialogCustom)

// The order is the buttons' left-to-right order and their bit in the set.
enum TDialogButton {
  ButtonYes, ButtonNo, ButtonOk, ButtonCancel, ButtonAbort, ButtonRetry, ButtonIgnore, ButtonAll,
  ButtonNoToAll, ButtonYesToAll, ButtonHelp
};
TAVELO_ENUM(TDialogButton, ButtonYes, ButtonNo, ButtonOk, ButtonCancel, ButtonAbort, ButtonRetry,
            ButtonIgnore, ButtonAll, ButtonNoToAll, ButtonYesToAll, ButtonHelp)
using TDialogButtons = TSet<TDialogButton>;

using THelpContext = int;

class TMessageForm : public TForm {
  TAVELO_CLASS(TMessageForm, TForm)
public:
  // Never read from a description.
  explicit TMessageForm(TComponent* owner);

  // The label showing the text.
  TLabel* Message = nullptr;

  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext value) { helpContext_ = value; }
  const String& HelpFile() const { return helpFile_; }
  void SetHelpFile(const String& value) { helpFile_ = value; }

  // The text Ctrl+C puts on the clipboard: caption, message and buttons between dividers.
  String DialogText() const;

private:
  void CustomKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
  void HelpButtonClick(TObject* sender);

  THelpContext helpContext_ = 0;
  String helpFile_;
  friend TMessageForm* BuildMessageDialog(const String&, TMessageKind, TDialogButtons);
};

// The form, laid out and centred on the screen; the caller frees it.
TMessageForm* BuildMessageDialog(const String& text, TMessageKind kind, TDialogButtons buttons);
// Shows the dialog modally at x, y (a negative one keeps the centred place; both negative
// centre it on the screen) and returns the button's result; the form is gone afterwards.
TModalResult ShowMessageDialogAt(const String& text, TMessageKind kind, TDialogButtons buttons,
                                 THelpContext helpContext, int x, int y, const String& helpFile);
TModalResult ShowMessageDialog(const String& text, TMessageKind kind, TDialogButtons buttons,
                               THelpContext helpContext);
void ShowPlainMessage(const String& text);
void ShowPlainMessage(const String& text, int x, int y);

}  // namespace tavelo
