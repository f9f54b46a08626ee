#include "actions/customaction.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"

namespace tavelo {

// ---- TActionLink ----

TAVELO_CLASS_IMPL(TActionLink)

bool TActionLink::ActionIsCustom() const { return DynamicCast<TCustomAction>(static_cast<TObject*>(Action())) != nullptr; }

bool TActionLink::ClientFollowsCaption() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsChecked() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsEnabled() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsGroupIndex() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsHelpContext() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsHelp() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsHint() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsImageIndex() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsShortCut() { return ActionIsCustom(); }
bool TActionLink::ClientFollowsVisible() { return ActionIsCustom(); }

// ---- TCustomAction ----

TAVELO_CLASS_IMPL(TCustomAction)

TCustomAction::TCustomAction(TComponent* owner) : TContainedAction(owner) {}

TCustomAction::~TCustomAction() = default;

namespace {

// Clears the Checked setter's re-entrancy flag on every way out.
class TCheckingGuard {
public:
  explicit TCheckingGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TCheckingGuard() { flag_ = false; }
  TCheckingGuard(const TCheckingGuard&) = delete;
  TCheckingGuard& operator=(const TCheckingGuard&) = delete;

private:
  bool& flag_;
};

}  // namespace

template <class F> void TCustomAction::PushToLinks(F push) {
  for (int i = 0; i < ClientCount(); ++i)
    if (!Clients(i)->Is<TActionLink>()) throw EInvalidCast(SInvalidCast);
  // A push may drop links: the count is read again each time.
  for (int i = 0; i < ClientCount(); ++i) push(static_cast<TActionLink*>(Clients(i)));
}

bool TCustomAction::Trigger() {
  if (ActionList() && ActionList()->State() != asNormal) return false;
  RefreshState();
  if (autoCheck_) SetChecked(!checked_);
  return enabled_ && TContainedAction::Trigger();
}

bool TCustomAction::PrepareHint(String& hint) {
  bool canShow = true;
  if (onHint_) onHint_(hint, canShow);
  return canShow;
}

bool TCustomAction::RunFromShortCut() { return Trigger(); }

void TCustomAction::SetName(const String& newName) {
  TComponent* owner = Owner();
  bool follow = Name() == caption_ && ClientCount() == 0 && !(owner && owner->ComponentState().Contains(csLoading));
  TContainedAction::SetName(newName);
  if (follow) SetCaption(newName);
}

bool TCustomAction::HasShortCut(TShortCut code) const {
  if (code == shortCut_) return true;
  return secondaryShortCuts_ && secondaryShortCuts_->IndexOfShortCut(code) >= 0;
}

void TCustomAction::SetAutoCheck(bool value) {
  if (value == autoCheck_) return;
  PushToLinks([&](TActionLink* link) { link->PushAutoCheck(value); });
  autoCheck_ = value;
  NotifyChanged();
}

void TCustomAction::SetCaption(const String& value) {
  if (value == caption_) return;
  PushToLinks([&](TActionLink* link) { link->PushCaption(value); });
  caption_ = value;
  NotifyChanged();
}

void TCustomAction::SetChecked(bool value) {
  if (checking_) return;
  TCheckingGuard guard(checking_);
  if (value == checked_) return;
  PushToLinks([&](TActionLink* link) { link->PushChecked(value); });
  checked_ = value;
  if (value && groupIndex_ > 0 && ActionList()) {
    TCustomActionList* list = ActionList();
    for (int i = 0; i < list->ActionCount(); ++i) {
      auto* peer = DynamicCast<TCustomAction>(list->Actions(i));
      if (peer && peer != this && peer->groupIndex_ == groupIndex_) peer->SetChecked(false);
    }
  }
  NotifyChanged();
}

void TCustomAction::SetEnabled(bool value) {
  if (value == enabled_) return;
  TCustomActionList* list = ActionList();
  if (list && list->State() == asSuspended) {
    enabled_ = value;
    return;
  }
  if (list && list->State() == asSuspendedEnabled) value = true;
  PushToLinks([&](TActionLink* link) { link->PushEnabled(value); });
  enabled_ = value;
  NotifyChanged();
}

void TCustomAction::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  PushToLinks([&](TActionLink* link) { link->PushGroupIndex(value); });
  NotifyChanged();
}

void TCustomAction::SetHelpContext(THelpContext value) {
  if (value == helpContext_) return;
  PushToLinks([&](TActionLink* link) { link->PushHelpContext(value); });
  helpContext_ = value;
  NotifyChanged();
}

void TCustomAction::SetHelpKeyword(const String& value) {
  if (value == helpKeyword_) return;
  PushToLinks([&](TActionLink* link) { link->PushHelpKeyword(value); });
  helpKeyword_ = value;
  NotifyChanged();
}

void TCustomAction::SetHelpType(THelpType value) {
  if (value == helpType_) return;
  PushToLinks([&](TActionLink* link) { link->PushHelpType(value); });
  helpType_ = value;
  NotifyChanged();
}

void TCustomAction::SetHint(const String& value) {
  if (value == hint_) return;
  PushToLinks([&](TActionLink* link) { link->PushHint(value); });
  hint_ = value;
  NotifyChanged();
}

void TCustomAction::SetImageIndex(TImageIndex value) {
  if (value == imageIndex_) return;
  PushToLinks([&](TActionLink* link) { link->PushImageIndex(value); });
  imageIndex_ = value;
  NotifyChanged();
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  PushToLinks([&](TActionLink* link) { link->PushShortCut(value); });
  shortCut_ = value;
  NotifyChanged();
}

void TCustomAction::SetVisible(bool value) {
  if (value == visible_) return;
  PushToLinks([&](TActionLink* link) { link->PushVisible(value); });
  visible_ = value;
  NotifyChanged();
}

TShortCutList* TCustomAction::SecondaryShortCuts() const {
  if (!secondaryShortCuts_) secondaryShortCuts_ = std::make_unique<TShortCutList>();
  return secondaryShortCuts_.get();
}

void TCustomAction::SetSecondaryShortCuts(TShortCutList* value) {
  if (value == secondaryShortCuts_.get()) return;
  if (!value) {
    if (secondaryShortCuts_) secondaryShortCuts_->Clear();
    return;
  }
  SecondaryShortCuts()->Assign(value);
}

void TCustomAction::AssignTo(TPersistent* dest) const {
  auto* action = DynamicCast<TCustomAction>(dest);
  if (!action) {
    TContainedAction::AssignTo(dest);
    return;
  }
  action->SetCaption(caption_);
  action->SetChecked(checked_);
  action->SetEnabled(enabled_);
  action->SetHelpContext(helpContext_);
  action->SetHint(hint_);
  action->SetImageIndex(imageIndex_);
  action->SetShortCut(shortCut_);
  action->SetVisible(visible_);
  action->SetOnExecute(OnExecute());
  action->SetOnUpdate(OnUpdate());
  action->SetOnChange(OnChange());
}

// ---- TAction, THintAction ----

TAVELO_PUBLISH(TAction) {
  c.Property("AutoCheck", &Self::AutoCheck, &Self::SetAutoCheck).Default(false);
  c.Property("Caption", &Self::Caption, &Self::SetCaption);
  c.Property("Checked", &Self::Checked, &Self::SetChecked).Default(false);
  c.Property("Enabled", &Self::Enabled, &Self::SetEnabled).Default(true);
  c.Property("GroupIndex", &Self::GroupIndex, &Self::SetGroupIndex).Default(0);
  c.Property("HelpContext", &Self::HelpContext, &Self::SetHelpContext).Default(0);
  c.Property("HelpKeyword", &Self::HelpKeyword, &Self::SetHelpKeyword);
  c.Property("HelpType", &Self::HelpType, &Self::SetHelpType).Default(htKeyword);
  c.Property("Hint", &Self::Hint, &Self::SetHint);
  c.Property("ImageIndex", &Self::ImageIndex, &Self::SetImageIndex).Default(-1);
  c.Property("ShortCut", &Self::ShortCut, &Self::SetShortCut).Default(0);
  c.Property("SecondaryShortCuts", &Self::SecondaryShortCuts, &Self::SetSecondaryShortCuts)
      .Stored<&Self::IsSecondaryShortCutsStored>();
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
  c.Event("OnExecute", &Self::OnExecute, &Self::SetOnExecute);
  c.Event("OnHint", &Self::OnHint, &Self::SetOnHint);
  c.Event("OnUpdate", &Self::OnUpdate, &Self::SetOnUpdate);
}

TAction::TAction(TComponent* owner) : TCustomAction(owner) { SetDisableWithoutHandler(true); }

TAVELO_PUBLISH(THintAction) {
  c.Property("Hint", &Self::Hint, &Self::SetHint);
}

THintAction::THintAction(TComponent* owner) : TCustomAction(owner) { SetDisableWithoutHandler(false); }

}  // namespace tavelo
