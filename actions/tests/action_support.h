// What the action tests share: a log, a link that records every push with the action's
// value at that moment, a stand-in for the application's end of the chains and forms that
// search their targets.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "actions/actionapp.h"
#include "actions/customaction.h"
#include "core/messages.h"

namespace tavelo::testing {

using TLog = std::vector<std::string>;

inline TLog& Log() {
  static TLog log;
  return log;
}

inline std::string Name(TObject* object) {
  if (auto* component = DynamicCast<TComponent>(object)) return component->Name();
  return object ? object->ClassName() : "nil";
}

// Logs the events it is bound to as "tag(sender)".
class TLogger : public TObject {
public:
  void Changed(TObject* sender) { Log().push_back("changed(" + Name(sender) + ")"); }
  void Execute(TObject* sender) { Log().push_back("execute(" + Name(sender) + ")"); }
  void Update(TObject* sender) { Log().push_back("update(" + Name(sender) + ")"); }
  void ListChanged(TObject* sender) { Log().push_back("list changed(" + Name(sender) + ")"); }
  void ListExecute(TBasicAction* action, bool& handled) {
    Log().push_back("list execute(" + Name(action) + ")");
    handled = claimList;
  }
  void ListUpdate(TBasicAction* action, bool& handled) {
    Log().push_back("list update(" + Name(action) + ")");
    handled = claimList;
  }
  void Hint(String& hint, bool& canShow) {
    hint = hintText.empty() ? hint : hintText;
    canShow = showShortCut;
  }
  bool claimList = false;
  std::string hintText;
  bool showShortCut = true;
};

// Records every push as "name.Property=new (was old)", old being the action's value then.
class TRecordingLink : public TActionLink {
public:
  TRecordingLink(TObject* client, std::string name) : TActionLink(client), name_(std::move(name)) {}

protected:
  TCustomAction* Act() const { return static_cast<TCustomAction*>(Action()); }
  void Note(const std::string& property, const std::string& value, const std::string& old) {
    Log().push_back(name_ + "." + property + "=" + value + " (was " + old + ")");
  }
  static std::string B(bool value) { return value ? "true" : "false"; }

  void PushAutoCheck(bool v) override { Note("AutoCheck", B(v), B(Act()->AutoCheck())); }
  void PushCaption(const String& v) override { Note("Caption", v, Act()->Caption()); }
  void PushChecked(bool v) override { Note("Checked", B(v), B(Act()->Checked())); }
  void PushEnabled(bool v) override { Note("Enabled", B(v), B(Act()->Enabled())); }
  void PushGroupIndex(int v) override { Note("GroupIndex", std::to_string(v), std::to_string(Act()->GroupIndex())); }
  void PushHelpContext(THelpContext v) override {
    Note("HelpContext", std::to_string(v), std::to_string(Act()->HelpContext()));
  }
  void PushHelpKeyword(const String& v) override { Note("HelpKeyword", v, Act()->HelpKeyword()); }
  void PushHelpType(THelpType v) override {
    Note("HelpType", std::to_string(v), std::to_string(Act()->HelpType()));
  }
  void PushHint(const String& v) override { Note("Hint", v, Act()->Hint()); }
  void PushImageIndex(TImageIndex v) override { Note("ImageIndex", std::to_string(v), std::to_string(Act()->ImageIndex())); }
  void PushShortCut(TShortCut v) override { Note("ShortCut", std::to_string(v), std::to_string(Act()->ShortCut())); }
  void PushVisible(bool v) override { Note("Visible", B(v), B(Act()->Visible())); }
  void PushOnExecute(TNotifyEvent v) override {
    Note("OnExecute", v ? "set" : "none", Act()->OnExecute() ? "set" : "none");
  }

private:
  std::string name_;
};

// A form of the stand-in: answers FM_ACTION_EXECUTE and FM_ACTION_UPDATE by offering the
// action to its active control, itself, then its other controls, while it shows.
class TFormStandIn : public TComponent {
public:
  using TComponent::TComponent;
  void Dispatch(TMessage& message) override {
    if (message.Msg != FM_ACTION_EXECUTE && message.Msg != FM_ACTION_UPDATE) {
      TComponent::Dispatch(message);
      return;
    }
    Log().push_back(Name() + (message.Msg == FM_ACTION_EXECUTE ? ":FM_ACTION_EXECUTE" : ":FM_ACTION_UPDATE"));
    if (!showing) return;
    std::vector<TComponent*> candidates;
    if (activeControl) candidates.push_back(activeControl);
    candidates.push_back(this);
    for (TComponent* control : controls) candidates.push_back(control);
    for (TComponent* candidate : candidates)
      if (OfferAction(message, candidate)) {
        message.Result = 1;
        return;
      }
  }
  bool showing = true;
  TComponent* activeControl = nullptr;
  std::vector<TComponent*> controls;
};

// The application's end of the chains, as the application will fill it in: its two events,
// its window answering the action messages by routing them to the forms, its hint flag.
class TAppStandIn {
public:
  TAppStandIn() : saved_(ActionAppHooks()) {
    current_ = this;
    TActionAppHooks& hooks = ActionAppHooks();
    hooks.ExecuteAction = [](TBasicAction* action) { return current_->Event(current_->onActionExecute, "app execute", action); };
    hooks.UpdateAction = [](TBasicAction* action) { return current_->Event(current_->onActionUpdate, "app update", action); };
    hooks.SendToApplication = [](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
      TMessage message;
      message.Msg = msg;
      message.WParam = wParam;
      message.LParam = lParam;
      if (msg == FM_ACTION_EXECUTE || msg == FM_ACTION_UPDATE) {
        Log().push_back(std::string(msg == FM_ACTION_EXECUTE ? "app:FM_ACTION_EXECUTE(" : "app:FM_ACTION_UPDATE(") +
                        Name(reinterpret_cast<TBasicAction*>(lParam)) + ")");
        RouteActionToForms(message, current_->activeForm, current_->mainForm);
      }
      return message.Result;
    };
    hooks.HintShortCuts = [] { return current_->hintShortCuts; };
  }
  ~TAppStandIn() {
    ActionAppHooks() = saved_;
    current_ = nullptr;
  }
  TAppStandIn(const TAppStandIn&) = delete;
  TAppStandIn& operator=(const TAppStandIn&) = delete;

  // Unassigned events leave handled false, as the application's do.
  std::function<bool(TBasicAction*)> onActionExecute;
  std::function<bool(TBasicAction*)> onActionUpdate;
  TObject* activeForm = nullptr;
  TObject* mainForm = nullptr;
  bool hintShortCuts = true;

private:
  bool Event(const std::function<bool(TBasicAction*)>& handler, const char* tag, TBasicAction* action) {
    if (!handler) return false;
    Log().push_back(std::string(tag) + "(" + Name(action) + ")");
    return handler(action);
  }

  TActionAppHooks saved_;
  static inline TAppStandIn* current_ = nullptr;
};

// A test whose log starts empty.
class ActionTest : public ::testing::Test {
protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override { Log().clear(); }
};

}  // namespace tavelo::testing
