// TComponent: an object with an owner that frees it, a name unique among its owner's
// components, a binding to its owner's published field of that name, and free
// notifications with the components that refer to it.
#pragma once

#include <cstdint>
#include <functional>

#include "core/list.h"
#include "core/persistent.h"
#include "core/set.h"
#include "core/typinfo.h"

namespace tavelo {

class TBasicAction;
class TComponent;
class TReader;
class TWriter;

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline
};
using TComponentState = TSet<TComponentStateFlag>;
TAVELO_ENUM(TComponentStateFlag, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
            csUpdating, csFixups, csFreeNotification, csInline)

enum TComponentStyleFlag { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleFlag>;
TAVELO_ENUM(TComponentStyleFlag, csInheritable, csCheckPropAvail, csSubComponent, csTransient)

// Receives each child a component reports to a writer.
using TGetChildProc = std::function<void(TComponent* child)>;

// What TryRunAction and TryRefreshAction ask of an action, which sits in a layer above the
// components: the actions fill these in when the first one is made, and nothing can ask an
// action anything before one exists.
struct TActionTargetHooks {
  bool (*AcceptsTarget)(TBasicAction* action, TComponent* target) = nullptr;
  void (*RunOnTarget)(TBasicAction* action, TComponent* target) = nullptr;
  void (*RefreshOnTarget)(TBasicAction* action, TComponent* target) = nullptr;
};
TActionTargetHooks& ActionTargetHooks();

// A valid component name: an ASCII letter or "_", then letters, digits or "_".
bool IsValidIdent(const String& name);

class TComponent : public TPersistent {
  TAVELO_CLASS(TComponent, TPersistent)
public:
  using TConstructorArg = TComponent;

  // The owner, when given, inserts the new component.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const String& Name() const { return name_; }
  // Raises EComponentError SInvalidName or SDuplicateName; a rejected name leaves the old
  // name and binding in place.
  virtual void SetName(const String& newName);
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }
  TComponent* Owner() const { return owner_; }

  int ComponentCount() const { return components_ ? components_->Count() : 0; }
  // Raises EListError SListIndexError.
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  // The first owned component of that name (ASCII case folded), or null.
  TComponent* FindComponent(const String& name) const;
  // Takes the component from its current owner, if any. Raises EComponentError SDuplicateName
  // when another owned component has its name; it is then left ownerless.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component now, from the last to the first.
  void DestroyComponents();

  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  TComponentStyle ComponentStyle() const { return style_; }
  // State flags are set by the filer and the designer as they work on a component.
  void IncludeState(TComponentStateFlag flag) { state_.Include(flag); }
  void ExcludeState(TComponentStateFlag flag) { state_.Exclude(flag); }
  void SetDesigning(bool value, bool recurse = true);
  void SetInline(bool value);
  void SetSubComponent(bool value);
  // Left in the low and top in the high 16 bits, for a designer.
  std::int32_t DesignInfo() const { return designInfo_; }
  void SetDesignInfo(std::int32_t value) { designInfo_ = value; }

  // Sets the destroying flag here and in everything owned, before any destructor runs.
  void Destroying();

  // Called once after the whole tree was read; overrides must call the base.
  virtual void Loaded();
  // A component entered or left the ownership tree; overrides must call the base.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const String& currentName, const String& newName);
  // Reads (writes) this component's properties and children.
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);

  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  virtual TComponent* GetChildOwner() const { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }
  virtual void SetChildOrder(TComponent* child, int order);
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent);
  virtual bool HasParent() const { return false; }
  virtual void Updating() { state_.Include(csUpdating); }
  virtual void Updated() { state_.Exclude(csUpdating); }
  virtual void ValidateContainer(TComponent* component);
  virtual void ValidateInsert(TComponent* component);
  // When the action accepts this component as its target, lets it run on (refresh from) it
  // and answers true; otherwise false.
  virtual bool TryRunAction(TBasicAction* action);
  virtual bool TryRefreshAction(TBasicAction* action);

  TPersistent* GetOwner() const override { return owner_; }
  String GetNamePath() const override { return name_; }

protected:
  // Does now what the destructor does last: the destroying flag, the free notifications,
  // freeing what it owns and leaving the owner. A class whose partners must hear of its end
  // while its own part is still whole calls this from its destructor.
  void TearDownComponent();
  // Left and Top: the design position, for the non-visual components of a window.
  void DefineProperties(TFiler& filer) override;

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void SetReference(bool enable);
  void RemoveNotification(TComponent* component);

  TComponent* owner_ = nullptr;
  String name_;
  int tag_ = 0;
  TList* components_ = nullptr;
  TList* freeNotifies_ = nullptr;
  std::int32_t designInfo_ = 0;
  TComponentState state_;
  TComponentStyle style_;
};

// Constructs a component of a registered or known class with its virtual constructor.
TComponent* CreateComponent(TClass cls, TComponent* owner);

}  // namespace tavelo
