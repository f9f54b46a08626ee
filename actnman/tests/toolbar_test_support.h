// The editor's tool bar built in code: a form 688 pixels wide, an image list of six coloured
// 16x16 images, an action manager whose bar item shows six actions on a tool bar.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "actions/customaction.h"
#include "actnman/actnman.h"
#include "actnman/actntoolbar.h"
#include "actnman/tests/menu_script.h"
#include "controls/application.h"
#include "controls/extctrls.h"
#include "core/exceptions.h"
#include "controls/forms.h"
#include "controls/tests/control_test_support.h"
#include "graphics/bitmap.h"
#include "graphics/imglist.h"
#include "graphics/tests/graphics_test_support.h"

namespace tavelo::testing {

// Records which actions ran, in order, and whether a menu was still showing then.
class TRunLog : public TObject {
public:
  std::vector<String> runs;
  std::vector<String> errors;
  bool raise = false;
  std::function<bool()> menuShowing;
  void Execute(TObject* sender) {
    String name = static_cast<TCustomAction*>(sender)->Name();
    if (menuShowing && menuShowing()) name += " (menu visible)";
    runs.push_back(name);
    if (raise) throw EInvalidOperation("L'action a échoué");
  }
  void Error(TObject*, Exception& error) { errors.push_back(error.Message()); }
};

inline constexpr std::array<const char*, 6> kToolCaptions = {
    "&Nouveau fichier...", "&Ouvrir...", "&Enregistrer...", "Cou&per", "&Copier", "Co&ller"};

inline COLORREF ImageColor(int index) { return RGB(40 + 30 * index, 200 - 25 * index, 60 + 20 * index); }

class ToolBarFixture : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    SetCursorPos(0, 0);
    Application()->SetOnException(TExceptionEvent::Bind<&TRunLog::Error>(&log));
    form = new TForm(nullptr, 0);
    form->SetBounds(10, 10, 300, 200);
    form->SetClientWidth(688);
    form->SetClientHeight(200);
    images = new TImageList(form);
    images->SetWidth(16);
    images->SetHeight(16);
    for (int i = 0; i < 6; ++i) {
      TBitmap bitmap;
      bitmap.SetSize(16, 16);
      bitmap.Canvas()->Brush()->SetColor(clWhite);
      bitmap.Canvas()->FillRect(Rect(0, 0, 16, 16));
      bitmap.Canvas()->Brush()->SetColor(TColor(static_cast<std::int32_t>(ImageColor(i))));
      bitmap.Canvas()->FillRect(Rect(2, 2, 14, 14));
      images->AddMasked(&bitmap, clWhite);
    }
    manager = new TActionManager(form);
    manager->SetImages(images);
    for (int i = 0; i < 6; ++i) {
      auto* action = new TAction(form);
      action->SetName(String("Action") + std::to_string(i + 1));
      action->SetCaption(kToolCaptions[static_cast<std::size_t>(i)]);
      action->SetImageIndex(i);
      action->SetOnExecute(TNotifyEvent::Bind<&TRunLog::Execute>(&log));
      action->SetActionList(manager);
      actions.push_back(action);
    }
    bar = new TActionToolBar(form);
    bar->SetName("ActionToolBar1");
    bar->SetParent(form);
    bar->SetActionManager(manager);
    barItem = manager->ActionBars()->Add();
    for (TAction* action : actions) barItem->Items()->Add()->SetAction(action);
  }
  void TearDown() override {
    delete form;
    StopControls();
  }

  // Binds the bar and shows the form.
  void Open() {
    barItem->SetActionBar(bar);
    form->Show();
    PumpPending();
  }
  TCustomActionControl* Button(int index) { return bar->ControlAt(index); }
  // The bar as it paints itself, read from a memory surface.
  std::unique_ptr<TSurface> Snapshot() {
    auto surface = std::make_unique<TSurface>(bar->Width(), bar->Height());
    bar->PaintTo(surface->Dc(), 0, 0);
    return surface;
  }
  // A click of the left button at a point of the bar, through its window.
  void ClickAt(int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
  }
  void ClickControl(TControl* control, int dx, int dy) { ClickAt(control->Left() + dx, control->Top() + dy); }

  TRunLog log;
  TForm* form = nullptr;
  TImageList* images = nullptr;
  TActionManager* manager = nullptr;
  std::vector<TAction*> actions;
  TActionToolBar* bar = nullptr;
  TActionBarItem* barItem = nullptr;
};

}  // namespace tavelo::testing
