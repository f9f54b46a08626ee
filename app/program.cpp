#include "app/program.h"

#include "app/about.h"
#include "app/splash.h"
#include "streaming/classregistry.h"

namespace tavelo {

void RegisterProgramClasses() {
  RegisterClasses({TAboutBox::StaticClass(), TForm2::StaticClass(), TPanel::StaticClass(), TImage::StaticClass(),
                   TLabel::StaticClass(), TTimer::StaticClass(), TButton::StaticClass()});
}

}  // namespace tavelo
