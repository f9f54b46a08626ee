// Focus and tab order: which windowed control may take the focus, how it gets it, and the
// order in which Tab walks a form.
#include "controls/controls.h"

#include <algorithm>

#include "controls/controlsimpl.h"
#include "core/messages.h"

namespace tavelo {

using namespace controls_impl;

bool TWinControl::CanFocus() {
  TWinControl* form = GetParentForm(this);
  if (!form) return false;
  for (TControl* c = this; c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TWinControl* form = GetParentForm(this)) {
    form->FocusControl(this);
  } else if (parentWindow_) {
    ::SetFocus(Handle());
  } else {
    ValidParentForm(this);  // raises: no form and no host window
  }
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (; control; control = control->Parent())
    if (control == this) return true;
  return false;
}

void TWinControl::RemoveFocus(bool removing) {
  if (TWinControl* form = GetParentForm(this)) form->DefocusControl(this, removing);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return tabOrder_;
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  // While a description is read, the value waits for the siblings still to come.
  if (controlState_.Contains(csReadingState) || ComponentState().Contains(csReading) || !Parent()) {
    tabOrder_ = value;
    return;
  }
  auto& list = Parent()->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  int current = static_cast<int>(it - list.begin());
  value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
  if (value == current) return;
  list.erase(it);
  list.insert(list.begin() + value, this);
}

void TWinControl::FixupTabList() {
  std::vector<TWinControl*> slots(winControls_.size(), nullptr);
  int count = static_cast<int>(slots.size());
  for (TWinControl* child : winControls_)
    if (child->tabOrder_ >= 0 && child->tabOrder_ < count) slots[static_cast<std::size_t>(child->tabOrder_)] = child;
  for (int i = 0; i < count; ++i)
    if (TWinControl* child = slots[static_cast<std::size_t>(i)]) child->SetTabOrder(i);
}

void TWinControl::ReadState(TReader& reader) {
  controlState_.Include(csReadingState);
  DisableAlign();
  try {
    inherited::ReadState(reader);
  } catch (...) {
    controlState_.Exclude(csReadingState);
    EnableAlign();
    throw;
  }
  controlState_.Exclude(csReadingState);
  EnableAlign();
  FixupTabList();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* child : tabList_) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int count = static_cast<int>(list.size());
  auto found = std::find(list.begin(), list.end(), current);
  int start = found != list.end() ? static_cast<int>(found - list.begin()) : (goForward ? count - 1 : 0);
  int i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    TWinControl* candidate = list[static_cast<std::size_t>(i)];
    if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop()) &&
        (!checkParent || candidate->Parent() == this))
      return candidate;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() {
  if (onEnter_) onEnter_(this);
}

void TWinControl::DoExit() {
  if (onExit_) onExit_(this);
}

}  // namespace tavelo
