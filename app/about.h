// The about box: the logo, the version, the author's notice and addresses; OK hides it.
#pragma once

#include "controls/extctrls.h"
#include "controls/forms.h"
#include "controls/stdctrls.h"

namespace tavelo {

class TAboutBox : public TForm {
  TAVELO_CLASS(TAboutBox, TForm)
public:
  explicit TAboutBox(TComponent* owner) : TForm(owner) {}

  TImage* ProgramIcon = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label6 = nullptr;
  TButton* OKButton = nullptr;

  // The box is shown modeless, so its button's modal result does nothing: the handler hides it.
  void OKButtonClick(TObject* sender);
};

extern TAboutBox* AboutBox;

}  // namespace tavelo
