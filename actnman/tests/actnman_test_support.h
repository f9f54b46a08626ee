// What the action manager tests share: a bar class a description can name, a form holding a
// manager like the editor's, and a way to read a description into a new form.
#pragma once

#include <string>

#include "actions/customaction.h"
#include "actnman/actnbars.h"
#include "actnman/actnman.h"
#include "controls/forms.h"
#include "graphics/imglist.h"

namespace tavelo::testing {

// A bar with the properties a description sets on the editor's bars.
class TTestActionBar : public TCustomActionDockBar {
  TAVELO_CLASS(TTestActionBar, TCustomActionDockBar)
public:
  explicit TTestActionBar(TComponent* owner) : TCustomActionDockBar(owner) {}
  using TCustomActionBar::SetVertSeparator;
};

class TManagerForm : public TForm {
  TAVELO_CLASS(TManagerForm, TForm)
public:
  explicit TManagerForm(TComponent* owner) : TForm(owner) {}
  // Without a description of its own: the tests read theirs into it.
  TManagerForm(TComponent* owner, int createNew) : TForm(owner, createNew) {}
  TTestActionBar* MenuBar1 = nullptr;
  TTestActionBar* ToolBar1 = nullptr;
  TActionManager* ActionManager1 = nullptr;
  TImageList* ImageList1 = nullptr;
  TAction* Action1 = nullptr;
  TAction* FileOpen1 = nullptr;
  TAction* FichierEnregistrer = nullptr;
  TAction* Action3 = nullptr;
  TAction* EditCut1 = nullptr;
  TAction* EditCopy1 = nullptr;
  TAction* EditPaste1 = nullptr;
  TAction* EditSelectAll1 = nullptr;
  TAction* FileSaveAs1 = nullptr;
  TAction* FileExit1 = nullptr;
};

// The editor's manager with its three bar items, written as a description; `extra` goes
// into the manager's entry.
std::string ManagerFormText(const std::string& extra = "");
// Builds a TManagerForm from text, the way a window reads its description.
TManagerForm* ReadManagerForm(const std::string& text);

}  // namespace tavelo::testing
