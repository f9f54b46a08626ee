// formshow: one of the program's forms, built from its description and shown alone, for a look
// or a screenshot:
//   formshow CLASSNAME      (TAboutBox, TForm2)
// Its handlers run as in the program, but its timers are stopped so that it stays as it was
// built (the splash would hide itself at its first tick); closing the window ends the program.
#include <windows.h>

#include <cstdio>

#include "app/program.h"
#include "controls/application.h"
#include "controls/extctrls.h"
#include "controls/forms.h"
#include "core/exceptions.h"
#include "streaming/classregistry.h"

using namespace tavelo;

namespace {
constexpr const char* SNotAForm = "%s n'est pas une fiche";
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage : formshow CLASSE\n", stderr);
    return 2;
  }
  try {
    TControlsSession session;
    RegisterProgramClasses();
    Application()->Initialize();
    TClass cls = FindClass(argv[1]);
    if (!cls->InheritsFrom(TCustomForm::StaticClass())) throw EInvalidOperation(Format(SNotAForm, {String(argv[1])}));
    TComponent* form = Application()->CreateForm(cls);
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* timer = DynamicCast<TTimer>(form->Components(i))) timer->SetEnabled(false);
    Application()->Run();
  } catch (...) {
    ShowLastResort(std::current_exception());
    return 1;
  }
  return 0;
}
