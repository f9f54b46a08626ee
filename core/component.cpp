#include "core/component.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/filer.h"

namespace tavelo {

TAVELO_PUBLISH(TComponent) {
  c.Property("Name", &Self::Name, &Self::SetName).Stored(false);
  c.Property("Tag", &Self::Tag, &Self::SetTag).Default(0);
}

bool IsValidIdent(const String& name) {
  auto letter = [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (char ch : name)
    if (!letter(ch) && !(ch >= '0' && ch <= '9')) return false;
  return true;
}

TComponent* CreateComponent(TClass cls, TComponent* owner) {
  if (!cls->InheritsFrom(TComponent::StaticClass())) throw EInvalidCast(SInvalidCast);
  return static_cast<TComponent*>(cls->Construct(owner));
}

TComponent::TComponent(TComponent* owner) {
  style_ = {csInheritable};
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() { TearDownComponent(); }

void TComponent::TearDownComponent() {
  Destroying();
  // Each partner's notification removes the link both ways; removing it here as well keeps
  // a partner that forgets to call the base from holding this loop forever.
  while (freeNotifies_ && freeNotifies_->Count() > 0) {
    auto* partner = static_cast<TComponent*>(freeNotifies_->Last());
    partner->Notification(this, opRemove);
    RemoveFreeNotification(partner);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Destroying();
}

void TComponent::DestroyComponents() {
  while (components_) {
    auto* last = static_cast<TComponent*>(components_->Last());
    if (last->state_.Contains(csFreeNotification) || (state_.Contains(csDesigning) && state_.Contains(csInline)))
      RemoveComponent(last);
    else
      Remove(last);
    last->Destroying();
    delete last;
  }
}

TComponent* TComponent::Components(int index) const {
  if (!components_) throw EListError(SListIndexError, {index});
  return static_cast<TComponent*>(components_->Get(index));
}

int TComponent::ComponentIndex() const {
  return owner_ && owner_->components_ ? owner_->components_->IndexOf(const_cast<TComponent*>(this)) : -1;
}

void TComponent::SetComponentIndex(int index) {
  if (!owner_ || !owner_->components_) return;
  TList* list = owner_->components_;
  int current = list->IndexOf(this);
  if (current < 0) return;
  if (index < 0) index = 0;
  if (index >= list->Count()) index = list->Count() - 1;
  if (index != current) {
    list->Delete(current);
    list->Insert(index, this);
  }
}

TComponent* TComponent::FindComponent(const String& name) const {
  if (name.empty() || !components_) return nullptr;
  for (int i = 0; i < components_->Count(); ++i) {
    auto* component = static_cast<TComponent*>(components_->Get(i));
    if (SameName(component->name_, name)) return component;
  }
  return nullptr;
}

void TComponent::Insert(TComponent* component) {
  if (!components_) components_ = new TList;
  components_->Add(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  component->owner_ = nullptr;
  components_->Remove(component);
  if (components_->Count() == 0) {
    delete components_;
    components_ = nullptr;
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->owner_ == this) return;
  // A component has one owner: one that moves leaves the old one first.
  if (component->owner_) component->owner_->RemoveComponent(component);
  component->ValidateContainer(this);
  ValidateRename(component, String(), component->name_);
  Insert(component);
  component->SetReference(true);
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  ValidateRename(component, component->name_, String());
  Notification(component, opRemove);
  component->SetReference(false);
  Remove(component);
}

void TComponent::SetReference(bool enable) {
  if (!owner_) return;
  const TFieldInfo* field = owner_->ClassType()->FindField(name_);
  if (!field) return;
  // A field of another class never receives this component: it would point at the wrong
  // kind. Unbinding clears only a field that holds this very component.
  if (enable && InheritsFrom(field->FieldClass())) field->Set(owner_, this);
  else if (!enable && field->Get(owner_) == this) field->Set(owner_, nullptr);
}

void TComponent::SetName(const String& newName) {
  if (newName == name_) return;
  if (!newName.empty() && !IsValidIdent(newName)) throw EComponentError(SInvalidName, {newName});
  if (owner_) owner_->ValidateRename(this, name_, newName);
  else ValidateRename(nullptr, name_, newName);
  SetReference(false);
  name_ = newName;
  SetReference(true);
}

void TComponent::ValidateRename(TComponent* component, const String& currentName, const String& newName) {
  // A component without an owner is on its way in: its name must not clash either.
  if (component && !SameName(currentName, newName) && (component->owner_ == this || !component->owner_) &&
      FindComponent(newName))
    throw EComponentError(SDuplicateName, {newName});
  if (state_.Contains(csDesigning) && owner_) owner_->ValidateRename(component, currentName, newName);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  if (!components_) return;
  // From the last to the first; a list that shrinks under the loop is followed down.
  int i = components_->Count() - 1;
  while (i >= 0) {
    static_cast<TComponent*>(components_->Get(i))->Notification(component, operation);
    --i;
    if (!components_) break;
    if (i >= components_->Count()) i = components_->Count() - 1;
  }
}

void TComponent::FreeNotification(TComponent* component) {
  // Components of one owner hear of each other through the owner's notification anyway.
  if (!owner_ || component->owner_ != owner_) {
    if (!freeNotifies_) freeNotifies_ = new TList;
    if (freeNotifies_->IndexOf(component) < 0) {
      freeNotifies_->Add(component);
      component->FreeNotification(this);
    }
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* component) {
  if (!freeNotifies_) return;
  freeNotifies_->Remove(component);
  if (freeNotifies_->Count() == 0) {
    delete freeNotifies_;
    freeNotifies_ = nullptr;
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::SetDesigning(bool value, bool recurse) {
  if (value) state_.Include(csDesigning);
  else state_.Exclude(csDesigning);
  if (recurse)
    for (int i = 0; i < ComponentCount(); ++i) Components(i)->SetDesigning(value, true);
}

void TComponent::SetInline(bool value) {
  if (value) state_.Include(csInline);
  else state_.Exclude(csInline);
}

void TComponent::SetSubComponent(bool value) {
  if (value) style_.Include(csSubComponent);
  else style_.Exclude(csSubComponent);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::ReadState(TReader& reader) { FilerHooks().ReadData(reader, this); }
void TComponent::WriteState(TWriter& writer) { FilerHooks().WriteData(writer, this); }

void TComponent::DefineProperties(TFiler& filer) {
  auto* ancestor = DynamicCast<TComponent>(filer.Ancestor());
  std::int32_t ancestorInfo = ancestor ? ancestor->designInfo_ : 0;
  auto low = [](std::int32_t v) { return static_cast<std::uint16_t>(v); };
  auto high = [](std::int32_t v) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) >> 16); };
  filer.DefineProperty(
      "Left",
      [this, high](TReader& reader) {
        designInfo_ = static_cast<std::int32_t>((static_cast<std::uint32_t>(high(designInfo_)) << 16) |
                                                static_cast<std::uint16_t>(FilerHooks().ReadInteger(reader)));
      },
      [this, low](TWriter& writer) { FilerHooks().WriteInteger(writer, low(designInfo_)); }, low(designInfo_) != low(ancestorInfo));
  filer.DefineProperty(
      "Top",
      [this, low](TReader& reader) {
        designInfo_ = static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(FilerHooks().ReadInteger(reader))) << 16) |
                                                low(designInfo_));
      },
      [this, high](TWriter& writer) { FilerHooks().WriteInteger(writer, high(designInfo_)); }, high(designInfo_) != high(ancestorInfo));
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}
void TComponent::SetChildOrder(TComponent*, int) {}
void TComponent::SetParentComponent(TComponent*) {}
void TComponent::ValidateContainer(TComponent* component) { component->ValidateInsert(this); }
void TComponent::ValidateInsert(TComponent*) {}
TActionTargetHooks& ActionTargetHooks() {
  static TActionTargetHooks hooks;
  return hooks;
}

bool TComponent::TryRunAction(TBasicAction* action) {
  const TActionTargetHooks& hooks = ActionTargetHooks();
  if (!action || !hooks.AcceptsTarget || !hooks.AcceptsTarget(action, this)) return false;
  hooks.RunOnTarget(action, this);
  return true;
}

bool TComponent::TryRefreshAction(TBasicAction* action) {
  const TActionTargetHooks& hooks = ActionTargetHooks();
  if (!action || !hooks.AcceptsTarget || !hooks.AcceptsTarget(action, this)) return false;
  hooks.RefreshOnTarget(action, this);
  return true;
}

}  // namespace tavelo
