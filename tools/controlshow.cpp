// controlshow: a window made of the framework's controls, for screenshots and for a look by
// hand:
//   controlshow LOGO.picture
// A bevelled yellow panel with the logo and two labels, a button whose action gives it a
// caption, a hint and a shortcut, and a tool window strip along the bottom. The mouse is put
// on the button, so its hint (with the shortcut) shows after the hint pause. The program ends
// by itself after 30 seconds, or when its window is closed.
#include <windows.h>

#include <cstdio>

#include "actions/actionlist.h"
#include "actions/customaction.h"
#include "controls/application.h"
#include "controls/extctrls.h"
#include "controls/stdctrls.h"
#include "core/exceptions.h"
#include "graphics/shortcuts.h"
#include "tools/toolsupport.h"

using namespace tavelo;

namespace {

// The top-level window the controls live on, until there are forms.
class TShowWindow : public TCustomControl {
public:
  explicit TShowWindow(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetVisible(false);  // the loop shows the main window
    SetColor(clBtnFace);
    SetBounds(80, 60, 360, 260);
    SetCaption("Contrôles de Tavelo");
  }
  bool IsForm() const override { return true; }
  void FocusControl(TWinControl* control) override { ::SetFocus(control->Handle()); }

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    params.WndParent = nullptr;
  }
  void Dispatch(TMessage& message) override {
    if (message.Msg == WM_CLOSE) {
      Application()->Terminate();
      return;
    }
    TCustomControl::Dispatch(message);
  }
};

struct TShow : TObject {
  void Open(TObject*) {}
  void Finish(TObject*) { Application()->Terminate(); }
  // Once the window shows, the mouse rests on the button so that its hint comes up.
  void Point(TObject* sender) {
    static_cast<TTimer*>(sender)->SetEnabled(false);
    SetForegroundWindow(GetAncestor(target->Handle(), GA_ROOT));
    TPoint centre = target->ClientToScreen(tavelo::Point(target->Width() / 2, target->Height() / 2));
    SetCursorPos(centre.x, centre.y);
  }
  TWinControl* target = nullptr;
};

template <class T> T* Add(TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new T(parent);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

int Show(const char* logoPath) {
  TControlsSession session;
  TShow show;
  TShowWindow* window = nullptr;
  Application()->CreateForm(window);
  Application()->SetHintHidePause(30000);  // long enough for a screenshot

  auto* panel = Add<TPanel>(window, 0, 0, 0, 130);
  panel->SetAlign(alTop);
  panel->SetBevelInner(bvLowered);
  panel->SetColor(clYellow);
  panel->SetBorderWidth(4);
  auto* logo = Add<TImage>(panel, 12, 10, 105, 105);
  logo->SetTransparent(true);
  tools::ReadBinaryProperty(logo, "TImage", "Picture.Data", tools::ReadFile(logoPath));
  auto* title = Add<TLabel>(panel, 130, 24, 0, 0);
  title->SetParentFont(false);
  title->Font()->SetHeight(-35);
  title->Font()->SetStyle(TFontStyles{fsBold});
  title->SetCaption("Tavelo");
  title->SetTransparent(true);
  auto* note = Add<TLabel>(panel, 132, 80, 200, 0);
  note->SetWordWrap(true);
  note->SetCaption("Un panneau, une image et des étiquettes sans fenêtre");
  note->SetTransparent(true);

  auto* actions = new TCustomActionList(window);
  auto* open = new TAction(window);
  open->SetActionList(actions);
  open->SetCaption("&Ouvrir...");
  open->SetHint("Ouvrir|Ouvre un fichier JavaScript existant");
  open->SetShortCut(MakeShortCut('O', TShiftState{ssCtrl}));
  open->SetOnExecute(TNotifyEvent::Bind<&TShow::Open>(&show));
  // On the right, so that its hint reaches past the window: under Wine with no window manager a
  // popup lying wholly over its main window shows black on screen (a bare platform popup does
  // the same), though its own context holds the right pixels.
  auto* button = Add<TButton>(window, 236, 150, 100, 28);
  button->SetAction(open);
  button->SetShowHint(true);

  auto* strip = Add<TToolWindow>(window, 0, 0, 0, 24);
  strip->SetAlign(alBottom);
  auto* status = Add<TLabel>(strip, 6, 4, 0, 0);
  status->SetCaption("Prêt");

  auto* timer = new TTimer(window);
  timer->SetInterval(30000);
  timer->SetOnTimer(TNotifyEvent::Bind<&TShow::Finish>(&show));

  show.target = button;
  auto* pointer = new TTimer(window);
  pointer->SetInterval(500);
  pointer->SetOnTimer(TNotifyEvent::Bind<&TShow::Point>(&show));
  Application()->Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage : controlshow LOGO.picture\n", stderr);
    return 2;
  }
  try {
    return Show(argv[1]);
  } catch (...) {
    ShowLastResort(std::current_exception());
    return 1;
  }
}
