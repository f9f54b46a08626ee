// TCustomAction: what a menu item, a tool button or a control shows for a command, kept in
// step with every client through its TActionLink; TAction publishes it, THintAction carries
// the application's hint to whoever shows it.
#pragma once

#include <cstdint>
#include <memory>

#include "actions/actionlist.h"
#include "actions/shortcutlist.h"

namespace tavelo {

class TCustomAction;

using THelpContext = std::int32_t;
using TImageIndex = int;

enum THelpType { htKeyword, htContext };
TAVELO_ENUM(THelpType, htKeyword, htContext)

TAVELO_EVENT(THintEvent, void(String& hintStr, bool& canShow))

// A link whose client shows an action's properties: each push is the action telling the
// client of a new value while the action still holds the old one. The follow tests say
// whether the client follows a property at all; client-specific links add that the
// client's own value must still equal the action's.
class TActionLink : public TBasicActionLink {
  TAVELO_CLASS(TActionLink, TBasicActionLink)
public:
  explicit TActionLink(TObject* client) : TBasicActionLink(client) {}

protected:
  friend class TCustomAction;

  virtual bool ClientFollowsCaption();
  virtual bool ClientFollowsChecked();
  virtual bool ClientFollowsEnabled();
  virtual bool ClientFollowsGroupIndex();
  virtual bool ClientFollowsHelpContext();
  virtual bool ClientFollowsHelp();
  virtual bool ClientFollowsHint();
  virtual bool ClientFollowsImageIndex();
  virtual bool ClientFollowsShortCut();
  virtual bool ClientFollowsVisible();

  virtual void PushAutoCheck(bool) {}
  virtual void PushCaption(const String&) {}
  virtual void PushChecked(bool) {}
  virtual void PushEnabled(bool) {}
  virtual void PushGroupIndex(int) {}
  virtual void PushHelpContext(THelpContext) {}
  virtual void PushHelpKeyword(const String&) {}
  virtual void PushHelpType(THelpType) {}
  virtual void PushHint(const String&) {}
  virtual void PushImageIndex(TImageIndex) {}
  virtual void PushShortCut(TShortCut) {}
  virtual void PushVisible(bool) {}

private:
  bool ActionIsCustom() const;
};

class TCustomAction : public TContainedAction {
  TAVELO_CLASS(TCustomAction, TContainedAction)
public:
  explicit TCustomAction(TComponent* owner);
  ~TCustomAction() override;

  // Nothing in a suspended list; otherwise refreshes, toggles Checked when AutoCheck (even
  // when disabled), and runs the chain only when enabled.
  bool Trigger() override;
  // A hint about to show goes through OnHint, which may change it and keep the shortcut
  // text off it (false).
  bool PrepareHint(String& hint) override;
  virtual bool RunFromShortCut();
  // When the name equals the caption, the owner is not loading and no client is linked,
  // the caption follows the new name.
  void SetName(const String& newName) override;

  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value);
  const String& Caption() const { return caption_; }
  void SetCaption(const String& value);
  bool Checked() const { return checked_; }
  // Checking an action of a group unchecks its peers in the list.
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  THelpContext HelpContext() const { return helpContext_; }
  virtual void SetHelpContext(THelpContext value);
  const String& HelpKeyword() const { return helpKeyword_; }
  virtual void SetHelpKeyword(const String& value);
  THelpType HelpType() const { return helpType_; }
  void SetHelpType(THelpType value);
  const String& Hint() const { return hint_; }
  void SetHint(const String& value);
  TImageIndex ImageIndex() const { return imageIndex_; }
  void SetImageIndex(TImageIndex value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  // Made on first use and owned; setting it copies the lines.
  TShortCutList* SecondaryShortCuts() const;
  void SetSecondaryShortCuts(TShortCutList* value);
  bool IsSecondaryShortCutsStored() const { return secondaryShortCuts_ && secondaryShortCuts_->Count() > 0; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  THintEvent OnHint() const { return onHint_; }
  void SetOnHint(THintEvent value) { onHint_ = value; }

  // Whether an unclaimed refresh makes the action's Enabled follow its OnExecute.
  bool DisableWithoutHandler() const { return disableWithoutHandler_; }
  // Whether code is the shortcut or one of the secondary shortcuts; asking makes no list.
  bool HasShortCut(TShortCut code) const;

protected:
  // Into another custom action, through its setters; anything else fails.
  void AssignTo(TPersistent* dest) const override;
  void SetDisableWithoutHandler(bool value) { disableWithoutHandler_ = value; }

private:
  friend class TCustomActionList;

  // Checks every client first, so that a client that cannot follow stops the setter before
  // anything changed.
  template <class F> void PushToLinks(F push);

  bool autoCheck_ = false;
  String caption_;
  bool checked_ = false;
  bool enabled_ = true;
  int groupIndex_ = 0;
  THelpContext helpContext_ = 0;
  String helpKeyword_;
  THelpType helpType_ = htKeyword;
  String hint_;
  TImageIndex imageIndex_ = -1;
  TShortCut shortCut_ = 0;
  mutable std::unique_ptr<TShortCutList> secondaryShortCuts_;
  bool visible_ = true;
  THintEvent onHint_;
  bool disableWithoutHandler_ = false;
  // Saved on entering asSuspendedEnabled, given back on returning to asNormal.
  bool savedEnabled_ = true;
  bool enabledSaved_ = false;
  bool checking_ = false;
};

// The general-purpose action: publishes the properties and, with no handler and no target,
// disables itself at the next refresh.
class TAction : public TCustomAction {
  TAVELO_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* owner);
};

// Carries the application's hint to whoever shows it; never disabled for want of a handler.
class THintAction : public TCustomAction {
  TAVELO_CLASS(THintAction, TCustomAction)
public:
  explicit THintAction(TComponent* owner);
};

}  // namespace tavelo
