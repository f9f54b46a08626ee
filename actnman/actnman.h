// The action manager: an action list that also owns the description of a window's bars, binds
// them to their bar controls, keeps usage data and can keep all of it in a settings file.
#pragma once

#include <memory>

#include "actions/actionlist.h"
#include "actnman/actnclients.h"
#include "core/stringlist.h"

namespace tavelo {

class TActionBarItem;
class TCustomImageList;

// The manager's bar items, with the session count and the bars' hint settings.
class TActionBars : public TActionClientsCollection {
  TAVELO_CLASS(TActionBars, TActionClientsCollection)
public:
  // Made by the manager from its class: the item class is the manager's.
  using TConstructorArg = TPersistent;
  explicit TActionBars(TPersistent* owner);
  TActionBars(TPersistent* owner, TClass itemClass);

  TActionBarItem* ActionBars(int index) const;
  TActionBarItem* Add();

  // The application's flag that makes hints show shortcut texts; not stored here.
  bool HintShortCuts() const;
  void SetHintShortCuts(bool value);
  int SessionCount() const { return sessionCount_; }
  void SetSessionCount(int value) { sessionCount_ = value; }
  bool ShowHints() const { return showHints_; }
  void SetShowHints(bool value);

protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  int sessionCount_ = 0;
  bool showHints_ = true;
};

// One bar of the window: the bar control and the tree of items it shows.
class TActionBarItem : public TActionClient {
  TAVELO_CLASS(TActionBarItem, TActionClient)
public:
  explicit TActionBarItem(TCollection* collection);
  ~TActionBarItem() override;

  void SetActionBar(TCustomActionBar* value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TButtonLayout GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TButtonLayout value);

  void SetVisible(bool value) override;
  void SetColor(TColor value) override;
  void Refresh() override;
  String DisplayName() const override;
  void Assign(TPersistent* source) override;

private:
  bool autoSize_ = false;
  TButtonLayout glyphLayout_ = blGlyphLeft;
};

// A further action list offered with the manager's actions.
class TActionListItem : public TCollectionItem {
  TAVELO_CLASS(TActionListItem, TCollectionItem)
public:
  explicit TActionListItem(TCollection* collection);
  ~TActionListItem() override;

  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* value);
  // The stored caption, else the list's name, else SNoListName.
  String Caption() const;
  void SetCaption(const String& value) { caption_ = value; }
  bool IsCaptionStored() const { return !caption_.empty(); }

  String DisplayName() const override;
  void Assign(TPersistent* source) override;

private:
  friend class TCustomActionManager;
  TCustomActionList* actionList_ = nullptr;
  String caption_;
};

class TActionListCollection : public TOwnedCollection {
  TAVELO_CLASS(TActionListCollection, TOwnedCollection)
public:
  TActionListCollection(TPersistent* owner, TClass itemClass);
  TActionListItem* ListItems(int index) const { return static_cast<TActionListItem*>(Items(index)); }
  TActionListItem* Add() { return static_cast<TActionListItem*>(TCollection::Add()); }
  TCustomActionManager* ActionManager() const;
};

class TCustomActionManager : public TCustomActionList {
  TAVELO_CLASS(TCustomActionManager, TCustomActionList)
public:
  explicit TCustomActionManager(TComponent* owner);
  ~TCustomActionManager() override;

  TActionBars* ActionBars() const { return actionBars_.get(); }
  void SetActionBars(TActionBars* value);
  TActionListCollection* LinkedActionLists() const { return linkedActionLists_.get(); }
  void SetLinkedActionLists(TActionListCollection* value);
  const String& FileName() const { return fileName_; }
  void SetFileName(const String& value) { fileName_ = value; }
  TStringList* PrioritySchedule() const { return prioritySchedule_.get(); }
  void SetPrioritySchedule(TStringList* value);
  bool IsPriorityScheduleStored() const;
  // Besides the list's own work, every first-level control re-measures.
  void SetImages(TCustomImageList* value);

  // The bars as they were before the settings file was read; none without a settings file.
  TActionBars* InitialBars() const { return initialBars_.get(); }
  bool ReadingSettings() const { return readingSettings_; }
  bool SettingsSaved() const { return settingsSaved_; }

  // Whether the item's usage keeps it in use in the current session.
  virtual bool IsItemKeptVisible(TActionClientItem* item);
  // Depth first from ActionBars when list is none: the first client item of action.
  TActionClientItem* FindClientForAction(TContainedAction* action, TActionClientsCollection* list = nullptr);
  // The same for the first client bound to bar.
  TActionClient* FindClientForBar(TCustomActionBar* bar, TActionClientsCollection* list = nullptr);
  // Binds every bar item that names a bar (ActionBars when bars is none).
  void BindAllBars(TActionBars* bars = nullptr);
  void ReadSettingsFile(const String& path);
  void WriteSettingsFile(const String& path);
  void RestoreBarItem(int index);

  virtual TClass GetActionBarsClass() const;
  virtual TClass GetActionBarItemClass() const;
  virtual TClass GetActionClientsClass() const;
  virtual TClass GetActionClientItemClass() const;

  void NotifyChanged() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

private:
  // The searches of a removal notice, by address: the component may be half destroyed.
  TActionClientItem* FindItemOf(const TComponent* action, TActionClientsCollection* list);
  TActionClient* FindBarOf(const TComponent* bar, TActionClientsCollection* list);

  std::unique_ptr<TActionBars> actionBars_;
  std::unique_ptr<TActionListCollection> linkedActionLists_;
  std::unique_ptr<TStringList> prioritySchedule_;
  std::unique_ptr<TActionBars> initialBars_;
  String fileName_;
  bool readingSettings_ = false;
  bool settingsSaved_ = false;
};

class TActionManager : public TCustomActionManager {
  TAVELO_CLASS(TActionManager, TCustomActionManager)
public:
  explicit TActionManager(TComponent* owner);
};

}  // namespace tavelo
