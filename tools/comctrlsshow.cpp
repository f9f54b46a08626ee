// comctrlsshow: the main window's common controls, for screenshots and for a look by hand:
//   comctrlsshow
// A form with a page control of one sheet holding a client-aligned panel, and the editor's
// four-panel status bar with texts. The program ends by itself after 30 seconds, or when its
// window is closed.
#include <windows.h>

#include <cstdio>

#include "controls/application.h"
#include "controls/comctrls.h"
#include "controls/extctrls.h"
#include "controls/forms.h"
#include "core/exceptions.h"
#include "tools/toolsupport.h"

using namespace tavelo;

namespace {

class TShowForm : public TForm {
public:
  explicit TShowForm(TComponent* owner) : TForm(owner, 0) {
    SetBounds(40, 30, 560, 380);
    SetCaption("Contrôles communs de Tavelo");
  }
};

struct TShow : TObject {
  void Finish(TObject*) { Application()->Terminate(); }
};

int Show() {
  TControlsSession session;
  TShow show;
  TShowForm* form = nullptr;
  Application()->CreateForm(form);

  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  auto* sheet = new TTabSheet(form);
  sheet->SetCaption("   Js");
  sheet->SetPageControl(pages);
  auto* inside = new TPanel(form);
  inside->SetParent(sheet);
  inside->SetAlign(alClient);
  inside->SetBevelOuter(bvLowered);
  inside->SetColor(clWindow);
  inside->SetCaption("Le mémo occupe toute la page");

  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  const char* texts[] = {"Tavelo", "C:\\Documents\\essai.js", "Modifié", ""};
  const int widths[] = {90, 250, 100, 200};
  for (int i = 0; i < 4; ++i) {
    TStatusPanel* panel = bar->Panels()->Add();
    panel->SetAlignment(taCenter);
    panel->SetWidth(widths[i]);
    panel->SetText(texts[i]);
  }
  bar->Panels()->Items(0)->SetBevel(pbNone);
  bar->Panels()->Items(2)->SetBevel(pbRaised);

  auto* timer = new TTimer(form);
  timer->SetInterval(30000);
  timer->SetOnTimer(TNotifyEvent::Bind<&TShow::Finish>(&show));
  Application()->Run();
  return 0;
}

}  // namespace

int main() {
  try {
    return Show();
  } catch (...) {
    ShowLastResort(std::current_exception());
    return 1;
  }
}
