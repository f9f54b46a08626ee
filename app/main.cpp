// The program entry: the application, then the main window first (the first form made is the
// main form, whose closing ends the program), the about box and the splash window, all built
// hidden from their descriptions; the loop shows the main window, whose showing brings the
// splash up.
#include <windows.h>

#include "app/program.h"
#include "controls/application.h"
#include "core/exceptions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace tavelo;
  try {
    TControlsSession session;
    RegisterProgramClasses();
    Application()->Initialize();
    CreateProgramForms();
    Application()->Run();
  } catch (...) {
    ShowLastResort(std::current_exception());
    return 1;
  }
  return 0;
}
