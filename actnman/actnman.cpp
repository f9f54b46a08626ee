#include "actnman/actnman.h"

#include <algorithm>
#include <cstdlib>

#include "actnman/actnbars.h"
#include "actnman/actnconsts.h"
#include "controls/application.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/sysutils.h"
#include "core/system.h"
#include "core/updatebracket.h"
#include "graphics/imglist.h"

namespace tavelo {

namespace {

// How long an item stays in use after its last use, by its usage count.
const char* const kDefaultSchedule =
    "0=3\r\n1=3\r\n2=6\r\n3=9\r\n4=12\r\n5=12\r\n6=17\r\n7=17\r\n8=17\r\n9=23\r\n10=23\r\n11=23\r\n12=23\r\n"
    "13=23\r\n14=31\r\n15=31\r\n16=31\r\n17=31\r\n18=31\r\n19=31\r\n20=31\r\n21=31\r\n22=31\r\n23=31\r\n"
    "24=31\r\n25=31\r\n";

TClass BarItemClassOf(TPersistent* owner) {
  auto* manager = DynamicCast<TCustomActionManager>(owner);
  return manager ? manager->GetActionBarItemClass() : TActionBarItem::StaticClass();
}

}  // namespace

// ---- TActionBars ----

TActionBars::TActionBars(TPersistent* owner) : TActionBars(owner, BarItemClassOf(owner)) {}

TActionBars::TActionBars(TPersistent* owner, TClass itemClass) : TActionClientsCollection(owner, itemClass) {
  SetHintShortCuts(true);
}

TActionBarItem* TActionBars::ActionBars(int index) const { return static_cast<TActionBarItem*>(Items(index)); }

TActionBarItem* TActionBars::Add() { return static_cast<TActionBarItem*>(TCollection::Add()); }

bool TActionBars::HintShortCuts() const { return Application() && Application()->HintShortCuts(); }

void TActionBars::SetHintShortCuts(bool value) {
  if (Application()) Application()->SetHintShortCuts(value);
}

void TActionBars::SetShowHints(bool value) {
  if (value == showHints_) return;
  showHints_ = value;
  for (int i = 0; i < Count(); ++i) {
    TActionBarItem* bar = ActionBars(i);
    if (bar->ActionBar()) bar->ActionBar()->SetShowHint(value);
    if (bar->HasItems()) {
      VisitAllItems(bar->Items(), [value](TActionClient* client) {
        if (client->ActionBar()) client->ActionBar()->SetShowHint(value);
      });
    }
  }
}

void TActionBars::Notify(TCollectionItem* item, TCollectionNotification action) {
  TActionClientsCollection::Notify(item, action);
  if (action == cnExtracting || action == cnDeleting) {
    auto* barItem = DynamicCast<TActionBarItem>(static_cast<TObject*>(item));
    if (barItem && barItem->ActionBar() && barItem->ActionBar()->ActionClient() == barItem)
      barItem->ActionBar()->ReleaseItemControls();
  }
}

// ---- TActionBarItem ----

TActionBarItem::TActionBarItem(TCollection* collection) : TActionClient(nullptr) { SetCollection(collection); }

TActionBarItem::~TActionBarItem() {
  if (actionBar_ && actionBar_->ActionClient() == this) actionBar_->ReleaseItemControls();
  actionBar_ = nullptr;
}

void TActionBarItem::SetActionBar(TCustomActionBar* value) {
  if (value == actionBar_) return;
  for (TActionClient* up = ParentItem(); up; up = up->ParentItem())
    if (up->ActionBar()) throw EInvalidOperation(SActionBarParentBound);
  if (actionBar_ && actionBar_->ActionClient() == this) actionBar_->ReleaseItemControls();
  TCustomActionManager* manager = ActionManager();
  bool waiting = manager && (manager->ComponentState().Contains(csLoading) || manager->ReadingSettings());
  if (value && !waiting) value->BindItemTree(this);
  actionBar_ = value;
}

void TActionBarItem::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (actionBar_) actionBar_->SetAutoSize(value);
}

void TActionBarItem::SetGlyphLayout(TButtonLayout value) {
  if (value == glyphLayout_) return;
  glyphLayout_ = value;
  if (!actionBar_) return;
  actionBar_->DisableAlign();
  try {
    for (int i = 0; i < actionBar_->ItemCount(); ++i)
      if (TCustomActionControl* control = actionBar_->ControlAt(i)) control->SetGlyphLayout(value);
  } catch (...) {
    actionBar_->EnableAlign();
    throw;
  }
  actionBar_->EnableAlign();
  actionBar_->RecomputeSize();
}

void TActionBarItem::SetVisible(bool value) {
  if (value == Visible()) return;
  visible_ = value;
  if (actionBar_) {
    actionBar_->SetVisible(value);
    if (!actionBar_->ComponentState().Contains(csDesigning)) Refresh();
  }
}

void TActionBarItem::SetColor(TColor value) {
  TActionClient::SetColor(value);
  if (!actionBar_) return;
  if (value == clDefault) actionBar_->SetParentColor(true);
  else actionBar_->SetColor(value);
}

void TActionBarItem::Refresh() {
  if (actionBar_ && !actionBar_->ComponentState().Contains(csLoading)) actionBar_->Realign();
}

String TActionBarItem::DisplayName() const {
  if (actionBar_) return String(SActionBarDisplayName) + actionBar_->Name();
  return TActionClient::DisplayName();
}

void TActionBarItem::Assign(TPersistent* source) {
  TActionClient::Assign(source);
  if (auto* other = DynamicCast<TActionBarItem>(source)) {
    autoSize_ = other->AutoSize();
    glyphLayout_ = other->GlyphLayout();
  }
}

// ---- TActionListItem / TActionListCollection ----

TActionListItem::TActionListItem(TCollection* collection) : TCollectionItem(nullptr) { SetCollection(collection); }

TActionListItem::~TActionListItem() = default;

void TActionListItem::SetActionList(TCustomActionList* value) {
  auto* lists = DynamicCast<TActionListCollection>(Collection());
  TCustomActionManager* manager = lists ? DynamicCast<TCustomActionManager>(lists->GetOwner()) : nullptr;
  if (value && value == manager) throw EInvalidOperation(SCircularActionList);
  if (value == actionList_) return;
  actionList_ = value;
  if (value && manager) value->FreeNotification(manager);
}

String TActionListItem::Caption() const {
  if (!caption_.empty()) return caption_;
  if (actionList_ && !actionList_->Name().empty()) return actionList_->Name();
  return SNoListName;
}

String TActionListItem::DisplayName() const {
  if (actionList_) return Caption();
  return TCollectionItem::DisplayName();
}

void TActionListItem::Assign(TPersistent* source) {
  auto* other = DynamicCast<TActionListItem>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    SetActionList(other->ActionList());
    caption_ = other->caption_;
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

TActionListCollection::TActionListCollection(TPersistent* owner, TClass itemClass)
    : TOwnedCollection(owner, itemClass) {}

TCustomActionManager* TActionListCollection::ActionManager() const {
  auto* manager = DynamicCast<TCustomActionManager>(GetOwner());
  if (!manager) throw EInvalidCast(SInvalidCast);
  return manager;
}

// ---- TCustomActionManager ----

TCustomActionManager::TCustomActionManager(TComponent* owner) : TCustomActionList(owner) {
  // A manager is never inheritable: components start without that style here.
  actionBars_.reset(static_cast<TActionBars*>(GetActionBarsClass()->Construct(this)));
  linkedActionLists_ = std::make_unique<TActionListCollection>(this, TActionListItem::StaticClass());
  prioritySchedule_ = std::make_unique<TStringList>();
  prioritySchedule_->SetText(kDefaultSchedule);
}

TCustomActionManager::~TCustomActionManager() {
  // Partners hear of the end while the bars and the schedule are still here.
  TearDownComponent();
  prioritySchedule_.reset();
  initialBars_.reset();
  actionBars_.reset();
  linkedActionLists_.reset();
}

void TCustomActionManager::SetActionBars(TActionBars* value) {
  if (value != actionBars_.get()) actionBars_->Assign(value);
}

void TCustomActionManager::SetLinkedActionLists(TActionListCollection* value) {
  if (value != linkedActionLists_.get()) linkedActionLists_->Assign(value);
}

void TCustomActionManager::SetPrioritySchedule(TStringList* value) {
  if (value == prioritySchedule_.get()) return;
  prioritySchedule_->Assign(value);
  // Names compare as text: a line named 10 comes before one named 2.
  std::vector<String> lines;
  for (int i = 0; i < prioritySchedule_->Count(); ++i) lines.push_back(prioritySchedule_->Strings(i));
  std::stable_sort(lines.begin(), lines.end(), [](const String& a, const String& b) {
    String na = a.substr(0, a.find('=')), nb = b.substr(0, b.find('='));
    return UpperCase(na) < UpperCase(nb);
  });
  prioritySchedule_->BeginUpdate();
  prioritySchedule_->Clear();
  for (const String& line : lines) prioritySchedule_->Add(line);
  prioritySchedule_->EndUpdate();
}

bool TCustomActionManager::IsPriorityScheduleStored() const {
  return UpperCase(prioritySchedule_->Text()) != UpperCase(kDefaultSchedule);
}

void TCustomActionManager::SetImages(TCustomImageList* value) {
  bool changes = value != Images();
  TCustomActionList::SetImages(value);
  if (!changes || ComponentState().Contains(csDestroying)) return;
  for (int i = 0; i < actionBars_->Count(); ++i) {
    TActionBarItem* bar = actionBars_->ActionBars(i);
    if (!bar->HasItems()) continue;
    for (int j = 0; j < bar->Items()->Count(); ++j)
      if (TCustomActionControl* control = bar->Items()->ActionClients(j)->Control()) control->MeasureBounds();
  }
}

bool TCustomActionManager::IsItemKeptVisible(TActionClientItem* item) {
  if (item->UsageCount() == -1 || prioritySchedule_->Count() == 0) return true;
  int elapsed = actionBars_->SessionCount() - item->LastSession();
  int line = -1;
  for (int i = 0; i < prioritySchedule_->Count(); ++i) {
    int name = 0;
    // A line whose name is no number does not take part.
    if (!TryStrToInt(prioritySchedule_->Names(i), name)) continue;
    if (name >= item->UsageCount()) {
      line = i;
      break;
    }
  }
  if (line < 0) {
    for (int i = prioritySchedule_->Count() - 1; i >= 0 && line < 0; --i) {
      int name = 0;
      if (TryStrToInt(prioritySchedule_->Names(i), name)) line = i;
    }
    if (line < 0) return true;
  }
  String text = prioritySchedule_->Strings(line);
  std::size_t equals = text.find('=');
  int threshold = StrToInt(equals == String::npos ? String() : text.substr(equals + 1));
  return elapsed < threshold;
}

TActionClientItem* TCustomActionManager::FindClientForAction(TContainedAction* action, TActionClientsCollection* list) {
  if (!list) list = actionBars_.get();
  for (int i = 0; i < list->Count(); ++i) {
    TActionClient* client = list->ActionClient(i);
    if (auto* item = DynamicCast<TActionClientItem>(client); item && item->Action() == action) return item;
    if (client->HasItems())
      if (TActionClientItem* found = FindClientForAction(action, client->Items())) return found;
  }
  return nullptr;
}

TActionClient* TCustomActionManager::FindClientForBar(TCustomActionBar* bar, TActionClientsCollection* list) {
  if (!list) list = actionBars_.get();
  for (int i = 0; i < list->Count(); ++i) {
    TActionClient* client = list->ActionClient(i);
    if (client->actionBar_ == bar) return client;
    if (client->HasItems())
      if (TActionClient* found = FindClientForBar(bar, client->Items())) return found;
  }
  return nullptr;
}

void TCustomActionManager::BindAllBars(TActionBars* bars) {
  if (!bars) bars = actionBars_.get();
  for (int i = 0; i < bars->Count(); ++i) {
    TActionBarItem* item = bars->ActionBars(i);
    TCustomActionBar* bar = item->ActionBar();
    if (!bar) continue;
    if (item->Items()->AutoHotKeys()) AssignHotKeyLetters(item->Items());
    bar->BindItemTree(item);
    bar->RecomputeSize();
    bar->Realign();
  }
}

void TCustomActionManager::RestoreBarItem(int index) {
  if (!initialBars_ || index < 0 || index >= initialBars_->Count() || index >= actionBars_->Count()) return;
  actionBars_->Items(index)->Assign(initialBars_->Items(index));
}

TClass TCustomActionManager::GetActionBarsClass() const { return TActionBars::StaticClass(); }
TClass TCustomActionManager::GetActionBarItemClass() const { return TActionBarItem::StaticClass(); }
TClass TCustomActionManager::GetActionClientsClass() const { return TActionClients::StaticClass(); }
TClass TCustomActionManager::GetActionClientItemClass() const { return TActionClientItem::StaticClass(); }

void TCustomActionManager::NotifyChanged() {
  TCustomActionList::NotifyChanged();
  if (actionBars_) VisitAllItems(actionBars_.get());
}

void TCustomActionManager::Loaded() {
  TCustomActionList::Loaded();
  // The nested notification of a settings read.
  if (readingSettings_) return;
  if (ComponentState().Contains(csDesigning) || fileName_.empty() || !sys::FileExists(fileName_))
    BindAllBars(actionBars_.get());
  else
    ReadSettingsFile(fileName_);
  actionBars_->SetSessionCount(actionBars_->SessionCount() + 1);
}

void TCustomActionManager::Notification(TComponent* component, TOperation operation) {
  // The first notice after the application was told to end writes the settings, once.
  if (!settingsSaved_ && !fileName_.empty() && !ComponentState().Contains(csDestroying) && Application() &&
      Application()->Terminated()) {
    settingsSaved_ = true;
    WriteSettingsFile(fileName_);
  }
  TCustomActionList::Notification(component, operation);
  if (operation != opRemove || ComponentState().Contains(csDestroying) || !actionBars_) return;
  // The component may be half gone (its own destructors have run): it is known by address only.
  auto removeItems = [this, component](TActionClientsCollection* list) {
    while (TActionClientItem* item = FindItemOf(component, list)) {
      // The link goes first, so that the item does not outlive its action's notice.
      item->SetAction(nullptr);
      item->Collection()->Delete(item->Index());
    }
  };
  removeItems(actionBars_.get());
  if (initialBars_) removeItems(initialBars_.get());
  // A bar that goes: the field is cleared directly.
  auto forgetBar = [this, component](TActionClientsCollection* list) {
    while (TActionClient* client = FindBarOf(component, list)) client->actionBar_ = nullptr;
  };
  forgetBar(actionBars_.get());
  if (initialBars_) forgetBar(initialBars_.get());
  // Every entry naming a list that goes is dropped: none may point at it afterwards.
  for (int i = linkedActionLists_->Count() - 1; i >= 0; --i)
    if (static_cast<TComponent*>(linkedActionLists_->ListItems(i)->ActionList()) == component)
      linkedActionLists_->Delete(i);
}

TActionClientItem* TCustomActionManager::FindItemOf(const TComponent* action, TActionClientsCollection* list) {
  for (int i = 0; list && i < list->Count(); ++i) {
    TActionClient* client = list->ActionClient(i);
    auto* item = DynamicCast<TActionClientItem>(client);
    if (item && item->Action() && static_cast<const TComponent*>(item->Action()) == action) return item;
    if (client->HasItems())
      if (TActionClientItem* found = FindItemOf(action, client->Items())) return found;
  }
  return nullptr;
}

TActionClient* TCustomActionManager::FindBarOf(const TComponent* bar, TActionClientsCollection* list) {
  for (int i = 0; list && i < list->Count(); ++i) {
    TActionClient* client = list->ActionClient(i);
    if (client->actionBar_ && static_cast<const TComponent*>(client->actionBar_) == bar) return client;
    if (client->HasItems())
      if (TActionClient* found = FindBarOf(bar, client->Items())) return found;
  }
  return nullptr;
}

// ---- TActionManager ----

TActionManager::TActionManager(TComponent* owner) : TCustomActionManager(owner) {}

TAVELO_CLASS_IMPL(TCustomActionManager)
TAVELO_CLASS_IMPL(TActionListCollection)

TAVELO_PUBLISH(TActionBars) {
  c.Property("Customizable", &Self::Customizable, &Self::SetCustomizable).Default(true);
  c.Property("HintShortCuts", &Self::HintShortCuts, &Self::SetHintShortCuts).Stored(false);
  c.Property("SessionCount", &Self::SessionCount, &Self::SetSessionCount).Default(0);
  c.Property("ShowHints", &Self::ShowHints, &Self::SetShowHints).Default(true);
}

TAVELO_PUBLISH(TActionBarItem) {
  c.Property("ActionBar", &Self::ActionBar, &Self::SetActionBar);
  c.Property("AutoSize", &Self::AutoSize, &Self::SetAutoSize);
  c.Property("GlyphLayout", &Self::GlyphLayout, &Self::SetGlyphLayout).Default(blGlyphLeft);
}

TAVELO_PUBLISH(TActionListItem) {
  c.Property("ActionList", &Self::ActionList, &Self::SetActionList);
  c.Property("Caption", &Self::Caption, &Self::SetCaption).Stored<&Self::IsCaptionStored>();
}

TAVELO_PUBLISH(TActionManager) {
  c.Property("FileName", &Self::FileName, &Self::SetFileName);
  c.Property("ActionBars", &Self::ActionBars, &Self::SetActionBars);
  c.Property("LinkedActionLists", &Self::LinkedActionLists, &Self::SetLinkedActionLists);
  c.Property("Images", &Self::Images, &Self::SetImages);
  c.Property("PrioritySchedule", &Self::PrioritySchedule, &Self::SetPrioritySchedule)
      .Stored<&Self::IsPriorityScheduleStored>();
  c.Property("State", &Self::State, &Self::SetState).Default(asNormal);
  c.Event("OnChange", &Self::OnChange, &Self::SetOnChange);
  c.Event("OnExecute", &Self::OnExecute, &Self::SetOnExecute);
  c.Event("OnUpdate", &Self::OnUpdate, &Self::SetOnUpdate);
}

}  // namespace tavelo
