#include "app/splash.h"

#include "core/publish.h"

namespace tavelo {

TForm2* Form2 = nullptr;

TAVELO_PUBLISH(TForm2) {
  c.Field("Panel1", &Self::Panel1);
  c.Field("Image1", &Self::Image1);
  c.Field("Label1", &Self::Label1);
  c.Field("Label2", &Self::Label2);
  c.Field("Timer1", &Self::Timer1);
  c.Method<&Self::Timer1Timer>("Timer1Timer");
}

void TForm2::Timer1Timer(TObject*) { Close(); }

}  // namespace tavelo
