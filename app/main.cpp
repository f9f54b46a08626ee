// The program entry. Until the editor's main window exists, the program builds the about box
// and the splash window from their descriptions and shows both; the about box, created first,
// is the main form, so closing it ends the program.
#include <windows.h>

#include "app/about.h"
#include "app/program.h"
#include "app/splash.h"
#include "controls/application.h"
#include "core/exceptions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace tavelo;
  try {
    TControlsSession session;
    RegisterProgramClasses();
    Application()->Initialize();
    Application()->CreateForm(AboutBox);
    Application()->CreateForm(Form2);
    // What the main window's show handler will do: the splash comes up, its timer hides it.
    Form2->Show();
    Application()->Run();
  } catch (...) {
    ShowLastResort(std::current_exception());
    return 1;
  }
  return 0;
}
