// TBasicAction: a command as an object that clients run and refresh through their links;
// TBasicActionLink: one client's binding to one action.
#pragma once

#include "core/component.h"
#include "core/events.h"
#include "core/list.h"

namespace tavelo {

class TBasicAction;

class TBasicActionLink : public TObject {
  TAVELO_CLASS(TBasicActionLink, TObject)
public:
  // Binds the client. A virtual call from a constructor reaches only this class's
  // BindClient, so a descendant that keeps its client binds it in its own constructor.
  explicit TBasicActionLink(TObject* client);
  // Detaches the link from its action.
  ~TBasicActionLink() override;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* value) { RebindAction(value); }
  // Called with the action when NotifyChanged runs; the client copies the action's values.
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }

  virtual void NotifyChanged();
  // Leaves the current action (if any) and attaches to the new one (if any).
  virtual void RebindAction(TBasicAction* action);
  // The client calls this with itself when the user clicks it: the action's Trigger.
  virtual bool Trigger(TComponent* client);
  virtual bool RefreshState();

protected:
  virtual void BindClient(TObject* client);
  virtual bool ClientFollowsOnExecute() { return true; }
  virtual void PushOnExecute(TNotifyEvent value);

private:
  friend class TBasicAction;
  TBasicAction* action_ = nullptr;
  TNotifyEvent onChange_;
};

class TBasicAction : public TComponent {
  TAVELO_CLASS(TBasicAction, TComponent)
public:
  using TConstructorArg = TComponent;

  explicit TBasicAction(TComponent* owner);
  // The links still attached when the component part is gone lose their action; they are
  // their clients' to free.
  ~TBasicAction() override;

  // Runs the action: its OnExecute, when assigned.
  virtual bool Trigger();
  // Refreshes the action's state: its OnUpdate, when assigned.
  virtual bool RefreshState();
  // Fires the change callback.
  virtual void NotifyChanged();
  // Lets the action adjust a hint about to show; false keeps the shortcut text off it.
  virtual bool PrepareHint(String& hint);

  // The target protocol: a component offered the action by the target search.
  virtual bool AcceptsTarget(TComponent* target);
  virtual void RefreshOnTarget(TComponent* target);
  virtual void RunOnTarget(TComponent* target);

  void AttachLink(TBasicActionLink* link);
  void DetachLink(TBasicActionLink* link);
  int ClientCount() const { return clients_.Count(); }
  TBasicActionLink* Clients(int index) const { return static_cast<TBasicActionLink*>(clients_.Get(index)); }

  TNotifyEvent OnExecute() const { return onExecute_; }
  void SetOnExecute(TNotifyEvent value) { SetOnExecuteHandler(value); }
  TNotifyEvent OnUpdate() const { return onUpdate_; }
  void SetOnUpdate(TNotifyEvent value) { onUpdate_ = value; }
  // The framework's own callback, fired by NotifyChanged.
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }

protected:
  // Handler and data compared: links first, then the store, then NotifyChanged.
  virtual void SetOnExecuteHandler(TNotifyEvent value);

private:
  TList clients_;
  TNotifyEvent onExecute_;
  TNotifyEvent onUpdate_;
  TNotifyEvent onChange_;
};

}  // namespace tavelo
