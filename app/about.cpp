#include "app/about.h"

#include "core/publish.h"

namespace tavelo {

TAboutBox* AboutBox = nullptr;

TAVELO_PUBLISH(TAboutBox) {
  c.Field("ProgramIcon", &Self::ProgramIcon);
  c.Field("Label1", &Self::Label1);
  c.Field("Label2", &Self::Label2);
  c.Field("Label3", &Self::Label3);
  c.Field("Label4", &Self::Label4);
  c.Field("Label5", &Self::Label5);
  c.Field("Label6", &Self::Label6);
  c.Field("OKButton", &Self::OKButton);
  c.Method<&Self::OKButtonClick>("OKButtonClick");
}

void TAboutBox::OKButtonClick(TObject*) { Close(); }

}  // namespace tavelo
