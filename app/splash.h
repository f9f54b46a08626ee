// The splash window: the product's name for a moment each time the main window shows.
#pragma once

#include "controls/extctrls.h"
#include "controls/forms.h"
#include "controls/stdctrls.h"

namespace tavelo {

class TForm2 : public TForm {
  TAVELO_CLASS(TForm2, TForm)
public:
  explicit TForm2(TComponent* owner) : TForm(owner) {}

  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TTimer* Timer1 = nullptr;

  // Every tick closes (hides) the window; a hidden one stays hidden.
  void Timer1Timer(TObject* sender);
};

extern TForm2* Form2;

}  // namespace tavelo
