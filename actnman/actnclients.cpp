#include "actnman/actnclients.h"


#include <algorithm>
#include <cctype>
#include <vector>

#include "actnman/actnbars.h"
#include "actnman/actnman.h"
#include "core/exceptions.h"
#include "core/publish.h"
#include "core/rtlconsts.h"
#include "core/updatebracket.h"
#include "graphics/graphic.h"
#include "graphics/imglist.h"

namespace tavelo {

namespace {

// Both bytes of a double-byte character go together in every caption scan.
bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

char UpperChar(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The bar that shows a client's list: the bar bound to it, else the child bar showing it.
TCustomActionBar* ShowingBar(const TActionClient* client) {
  if (!client) return nullptr;
  if (client->ActionBar() && client->ActionBar()->ActionClient() == client) return client->ActionBar();
  if (client->ChildBar() && client->ChildBar()->ActionClient() == client) return client->ChildBar();
  return nullptr;
}

bool ManagerLoading(const TCustomActionManager* manager) {
  return manager && manager->ComponentState().Contains(csLoading);
}

// Suspends a bar's alignment for a scope, when there is a bar.
class TAlignSuspension {
public:
  explicit TAlignSuspension(TWinControl* bar) : bar_(bar) {
    if (bar_) bar_->DisableAlign();
  }
  ~TAlignSuspension() {
    if (bar_) bar_->EnableAlign();
  }
  TAlignSuspension(const TAlignSuspension&) = delete;
  TAlignSuspension& operator=(const TAlignSuspension&) = delete;

private:
  TWinControl* bar_;
};

}  // namespace

// ---- Accelerators ----

char GetHotKeyChar(const String& caption) {
  char result = 0;
  std::size_t n = caption.size();
  for (std::size_t i = 0; i < n;) {
    char c = caption[i];
    if (IsLeadByte(c)) {
      i += 2;
      continue;
    }
    if (c == '&') {
      if (i + 1 < n && caption[i + 1] == '&') {
        i += 2;
        continue;
      }
      // A lone "&" at the very end marks nothing.
      result = i + 1 < n ? caption[i + 1] : 0;
      i += 2;
      continue;
    }
    ++i;
  }
  return result;
}

String StripHotKey(const String& caption) {
  String result;
  result.reserve(caption.size());
  std::size_t n = caption.size();
  bool dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
  for (std::size_t i = 0; i < n;) {
    char c = caption[i];
    if (IsLeadByte(c) && i + 1 < n) {
      result += c;
      result += caption[i + 1];
      i += 2;
      continue;
    }
    // "(&X)" appended to a double-byte caption goes as a whole.
    if (dbcs && c == '(' && i + 3 < n && caption[i + 1] == '&' && caption[i + 3] == ')') {
      i += 4;
      continue;
    }
    if (c == '&') {
      if (i + 1 < n && caption[i + 1] == '&') {
        result += '&';
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    result += c;
    ++i;
  }
  return result;
}

bool IsHotKeyMatch(char key, const String& caption) {
  char c = GetHotKeyChar(caption);
  return c != 0 && UpperChar(c) == UpperChar(key);
}

namespace {

// The caption without its single "&" marks; a literal "&&" stays as it is.
String RemoveAccelMarks(const String& caption) {
  String result;
  std::size_t n = caption.size();
  for (std::size_t i = 0; i < n;) {
    char c = caption[i];
    if (IsLeadByte(c) && i + 1 < n) {
      result += c;
      result += caption[i + 1];
      i += 2;
    } else if (c == '&' && i + 1 < n && caption[i + 1] == '&') {
      result += "&&";
      i += 2;
    } else {
      if (c != '&') result += c;
      ++i;
    }
  }
  return result;
}

// Marks the first character of caption still available; false when none is.
bool InsertAccel(String& caption, String& available) {
  std::size_t n = caption.size();
  for (std::size_t i = 0; i < n;) {
    char c = caption[i];
    if (IsLeadByte(c)) {
      i += 2;
      continue;
    }
    if (c == '&') {
      // A literal "&&" is text, not a letter.
      i += (i + 1 < n && caption[i + 1] == '&') ? 2 : 1;
      continue;
    }
    std::size_t at = available.find(UpperChar(c));
    if (at != String::npos) {
      available.erase(at, 1);
      caption.insert(i, 1, '&');
      return true;
    }
    ++i;
  }
  return false;
}

}  // namespace

bool AssignHotKeyLetters(TActionClients* list) {
  static const String kLetters = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (!list) return false;
  String available = kLetters;
  struct TPending {
    TActionClientItem* item;
    String base;
  };
  std::vector<TPending> pending;
  for (int i = 0; i < list->Count(); ++i) {
    TActionClientItem* item = list->ActionClients(i);
    const String& caption = item->caption_;
    if (!item->Visible() || caption.empty() || caption == "-") continue;
    char accel = UpperChar(GetHotKeyChar(caption));
    if (accel == 0) {
      pending.push_back({item, caption});
    } else if (kLetters.find(accel) != String::npos) {
      std::size_t at = available.find(accel);
      if (at != String::npos) available.erase(at, 1);
      else pending.push_back({item, RemoveAccelMarks(caption)});
    }
  }
  if (pending.empty()) return false;

  std::vector<String> bestCaptions;
  std::vector<TActionClientItem*> bestOrder;
  int bestCount = -1;
  std::vector<TPending> order = pending;
  for (std::size_t attempt = 0; attempt < pending.size(); ++attempt) {
    String left = available;
    std::vector<String> captions;
    std::vector<bool> got;
    int count = 0;
    for (const TPending& p : order) {
      String caption = p.base;
      bool ok = InsertAccel(caption, left);
      captions.push_back(caption);
      got.push_back(ok);
      if (ok) ++count;
    }
    // The first best wins ties; when no attempt assigns anything the captions are the same.
    if (count > bestCount) {
      bestCount = count;
      bestCaptions = captions;
      bestOrder.clear();
      for (const TPending& p : order) bestOrder.push_back(p.item);
    }
    if (count == static_cast<int>(order.size())) break;
    // Those left without a letter choose first next time.
    std::vector<TPending> next;
    for (std::size_t k = 0; k < order.size(); ++k)
      if (!got[k]) next.push_back(order[k]);
    for (std::size_t k = 0; k < order.size(); ++k)
      if (got[k]) next.push_back(order[k]);
    order = next;
  }
  // Straight into the storage: no control update and no separator test.
  for (std::size_t k = 0; k < bestOrder.size(); ++k) bestOrder[k]->caption_ = bestCaptions[k];
  return true;
}

// ---- Walks and usage ----

void VisitAllItems(TActionClientsCollection* list, const TActionClientProc& step) {
  if (!list) return;
  for (int i = 0; i < list->Count(); ++i) {
    TActionClient* item = list->ActionClient(i);
    if (step) step(item);
    else item->Refresh();
    if (item->HasItems()) {
      VisitAllItems(item->Items(), step);
      if (item->ActionBar()) item->ActionBar()->RecomputeSize();
    }
  }
}

void NoteItemUse(TActionClientItem* item) {
  if (!item) return;
  TCustomActionManager* manager = item->ActionManager();
  int session = manager ? manager->ActionBars()->SessionCount() : 0;
  if (item->UsageCount() != -1) item->SetUsageCount(item->UsageCount() + 1);
  item->SetCheckUnused(true);
  item->SetLastSession(session);
  for (TActionClient* up = item->ParentItem(); up; up = up->ParentItem()) {
    auto* parent = DynamicCast<TActionClientItem>(up);
    if (!parent) continue;
    parent->SetCheckUnused(true);
    if (parent->UsageCount() != -1) parent->SetUsageCount(parent->UsageCount() + 1);
    parent->SetLastSession(session);
  }
}

namespace {

bool KeptVisible(TActionClientItem* item) {
  TCustomActionManager* manager = item->ActionManager();
  return !manager || manager->IsItemKeptVisible(item);
}

}  // namespace

bool IsHiddenAsUnused(TActionClientItem* item) {
  if (!item->checkUnused_) return item->unused_;
  TActionClients* list = item->ActionClients();
  if (list && !list->HideUnused()) return false;
  if (item->Separator()) {
    bool unused = item->unused_;
    int index = item->Index();
    if (list && index > 0 && !list->ActionClients(index - 1)->Separator())
      unused = !KeptVisible(list->ActionClients(index - 1));
    if (unused && list && index < list->Count() - 1 && !list->ActionClients(index + 1)->Separator())
      unused = !KeptVisible(list->ActionClients(index + 1));
    // The mark stays: a separator follows its neighbours every time.
    item->unused_ = unused;
    return unused;
  }
  bool unused = !KeptVisible(item);
  if (unused && item->HasItems()) unused = !HasVisibleUsedChild(item);
  item->unused_ = unused;
  item->checkUnused_ = false;
  return unused;
}

bool HasVisibleUsedChild(TActionClientItem* item) {
  if (!item || !item->HasItems()) return false;
  TActionClients* items = item->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TActionClientItem* child = items->ActionClients(i);
    if (child->Visible() && !IsHiddenAsUnused(child)) return true;
    if (child->HasItems() && HasVisibleUsedChild(child)) return true;
  }
  return false;
}

// ---- TActionClientsCollection ----

TActionClientsCollection::TActionClientsCollection(TPersistent* owner, TClass itemClass)
    : TOwnedCollection(owner, itemClass) {}

TCustomActionManager* TActionClientsCollection::ActionManager() const {
  auto* manager = DynamicCast<TCustomActionManager>(GetOwner());
  if (!manager) throw EInvalidCast(SInvalidCast);
  return manager;
}

TActionClient* TActionClientsCollection::ActionClient(int index) const {
  return static_cast<TActionClient*>(Items(index));
}

// ---- TActionClient ----

TActionClient::TActionClient(TCollection*) : TCollectionItem(nullptr) {}

TActionClient::~TActionClient() {
  // Deepest first: the sub-items go before the item leaves its list.
  items_.reset();
  contextItems_.reset();
  if (actionBar_ && actionBar_->ActionClient() == this) actionBar_->ReleaseItemControls();
  if (childBar_ && childBar_->ActionClient() == this) childBar_->ReleaseItemControls();
}

TActionClientsCollection* TActionClient::OwningCollection() const {
  return DynamicCast<TActionClientsCollection>(Collection());
}

TCustomActionManager* TActionClient::ActionManager() const {
  TActionClientsCollection* list = OwningCollection();
  return list ? DynamicCast<TCustomActionManager>(list->GetOwner()) : nullptr;
}

TActionClient* TActionClient::ParentItem() const {
  TActionClientsCollection* list = OwningCollection();
  return list ? list->ParentItem() : nullptr;
}

void TActionClient::SetChangesAllowed(TChangesAllowedSet value) { changesAllowed_ = value; }

void TActionClient::SetColor(TColor value) { color_ = value; }

TActionClients* TActionClient::ContextItems() const {
  if (!contextItems_) {
    TActionClientsCollection* list = OwningCollection();
    contextItems_ = std::make_unique<TActionClients>(list ? list->GetOwner() : nullptr,
                                                     TActionClientItem::StaticClass());
    contextItems_->SetParentItem(const_cast<TActionClient*>(this));
  }
  return contextItems_.get();
}

void TActionClient::SetContextItems(TActionClients* value) {
  AssignList(contextItems_, &TActionClient::ContextItems, value);
}

void TActionClient::AssignList(std::unique_ptr<TActionClients>& held, TActionClients* (TActionClient::*list)() const,
                               TActionClients* value) {
  if (!value) {
    held.reset();
    return;
  }
  if (value != held.get()) (this->*list)()->Assign(value);
}

bool TActionClient::HasContextItems() const { return contextItems_ && contextItems_->Count() > 0; }

TPicture* TActionClient::Background() const {
  if (!background_) {
    background_ = std::make_unique<TPicture>();
    background_->SetOnChange(TNotifyEvent::Bind<&TActionClient::BackgroundChanged>(const_cast<TActionClient*>(this)));
  }
  return background_.get();
}

void TActionClient::SetBackground(TPicture* value) {
  if (value != background_.get()) Background()->Assign(value);
}

bool TActionClient::HasBackground() const {
  return background_ && background_->Graphic() && !background_->Graphic()->Empty();
}

void TActionClient::BackgroundChanged(TObject*) {
  if (TCustomActionBar* bar = ShowingBar(this)) bar->Invalidate();
}

void TActionClient::SetBackgroundLayout(TBackgroundLayout value) {
  if (value == backgroundLayout_) return;
  backgroundLayout_ = value;
  if (TCustomActionBar* bar = ShowingBar(this)) {
    bar->Realign();
    bar->Invalidate();
  }
}

TActionClients* TActionClient::Items() const {
  if (!items_) {
    TActionClientsCollection* list = OwningCollection();
    TCustomActionManager* manager = list ? DynamicCast<TCustomActionManager>(list->GetOwner()) : nullptr;
    if (manager) {
      TClass listClass = manager->GetActionClientsClass();
      items_.reset(static_cast<TActionClients*>(listClass->Construct(manager)));
    } else {
      items_ = std::make_unique<TActionClients>(list ? list->GetOwner() : nullptr, TActionClientItem::StaticClass());
    }
    items_->SetParentItem(const_cast<TActionClient*>(this));
  }
  return items_.get();
}

void TActionClient::SetItems(TActionClients* value) { AssignList(items_, &TActionClient::Items, value); }

bool TActionClient::HasItems() const { return items_ && items_->Count() > 0; }

void TActionClient::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  if (actionBar_ && actionBar_->ActionClient() == this) {
    actionBar_->SetVisible(value);
    if (!actionBar_->ComponentState().Contains(csDesigning)) Refresh();
  }
}

void TActionClient::Refresh() {}

void TActionClient::Assign(TPersistent* source) {
  auto* other = DynamicCast<TActionClient>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  SetColor(other->Color());
  // An owned list is copied, never shared.
  if (other->HasContextItems()) ContextItems()->Assign(other->ContextItems());
  if (other->HasBackground()) Background()->Assign(other->Background());
  SetBackgroundLayout(other->BackgroundLayout());
  SetVisible(other->Visible());
  if (other->items_) Items()->Assign(other->items_.get());
  actionBar_ = other->actionBar_;
}

// ---- TActionClientItem ----

TActionClientItem::TActionClientItem(TCollection* collection) : TActionClient(nullptr) {
  SetCollection(collection);
}

TActionClientItem::~TActionClientItem() {
  FreeControl();
  actionLink_.reset();
}

void TActionClientItem::FreeControl() {
  TCustomActionControl* control = control_;
  control_ = nullptr;
  delete control;
}

TContainedAction* TActionClientItem::Action() const {
  return actionLink_ ? static_cast<TContainedAction*>(actionLink_->Action()) : nullptr;
}

TActionClients* TActionClientItem::ActionClients() const { return DynamicCast<TActionClients>(Collection()); }

void TActionClientItem::SetAction(TContainedAction* value) {
  if (!value) {
    // The caption and the control stay.
    actionLink_.reset();
    return;
  }
  if (value == Action()) return;
  FreeControl();
  if (!actionLink_) actionLink_ = std::make_unique<TActionClientLink>(this);
  actionLink_->SetAction(value);
  actionLink_->SetOnChange(TNotifyEvent::Bind<&TActionClientItem::DoActionChange>(this));
  TCustomActionManager* manager = ActionManager();
  bool loading = value->ComponentState().Contains(csLoading) || ManagerLoading(manager) ||
                 (manager && manager->ReadingSettings());
  ActionChange(value, loading);
  if (manager) value->FreeNotification(manager);
  if (TCustomActionBar* bar = ShowingBar(ParentItem()))
    if (!control_ && bar->Items() == ActionClients()) bar->MakeItemControl(this);
}

void TActionClientItem::DoActionChange(TObject* sender) { ActionChange(sender, true); }

void TActionClientItem::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = DynamicCast<TCustomAction>(sender);
  if (!action) return;
  if (control_) {
    if (!checkDefaults || control_->Enabled()) control_->SetEnabled(action->Enabled());
    if (!checkDefaults || control_->Hint().empty()) control_->SetHint(action->Hint());
    if (!checkDefaults || !control_->OnClick()) control_->SetOnClick(action->OnExecute());
  }
  if (!checkDefaults || caption_.empty()) SetCaption(action->Caption());
  if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action->ImageIndex());
  if (!checkDefaults || shortCut_ == 0) SetShortCut(action->ShortCut());
  if (!checkDefaults || visible_) SetVisible(action->Visible());
}

void TActionClientItem::SetCaption(const String& value) {
  if (value == caption_) return;
  caption_ = value;
  isSeparatorItem_ = !Action() && (value == "-" || value == "|");
  if (isSeparatorItem_) {
    SetAction(nullptr);
    SetShortCut(0);
  }
  if (control_) control_->SetCaption(value);
}

bool TActionClientItem::IsCaptionStored() const {
  auto* action = DynamicCast<TCustomAction>(static_cast<TObject*>(Action()));
  return !(action && UpperCase(action->Caption()) == UpperCase(caption_));
}

void TActionClientItem::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  if (control_) {
    control_->MeasureBounds();
    control_->Invalidate();
  }
}

void TActionClientItem::SetMergeIndex(int value) {
  if (value < 0) value = 0;
  int old = mergeIndex_;
  TActionClients* list = ActionClients();
  int index = Index();
  if (value <= old && index > 0 && list && list->ActionClients(index - 1)->MergeIndex() != 0) return;
  if (list) {
    for (int i = index + 1; i < list->Count(); ++i) {
      TActionClientItem* next = list->ActionClients(i);
      if (next->mergeIndex_ == old) next->mergeIndex_ = value;
      else next->mergeIndex_ = std::abs(old - next->mergeIndex_) + value;
    }
  }
  mergeIndex_ = value;
}

void TActionClientItem::SetLastSession(int value) {
  if (value == lastSession_) return;
  lastSession_ = value;
  checkUnused_ = true;
}

void TActionClientItem::SetShowCaption(bool value) {
  if (value == showCaption_) return;
  if (!value) {
    TCustomActionManager* manager = ActionManager();
    bool accepted = ManagerLoading(manager) || HasGlyph() || !control_ || control_->ComponentCount() > 0;
    if (!accepted) return;
  }
  showCaption_ = value;
  Refresh();
}

void TActionClientItem::SetShowGlyph(bool value) {
  if (value == showGlyph_) return;
  showGlyph_ = value;
  if (control_) control_->MeasureBounds();
}

void TActionClientItem::SetShowShortCut(bool value) {
  if (value == showShortCut_) return;
  showShortCut_ = value;
  if (control_) {
    control_->MeasureBounds();
    if (TCustomActionBar* bar = control_->ActionBar()) bar->Realign();
  }
}

void TActionClientItem::SetShortCut(TShortCut value) {
  if (value == shortCut_) return;
  shortCut_ = value;
  shortCutCaption_ = ShortCutText(value);
  Refresh();
}

void TActionClientItem::SetUsageCount(int value) {
  // The largest count goes back to zero rather than on past the range.
  usageCount_ = value == 2147483647 ? 0 : value;
  checkUnused_ = true;
  if (control_) control_->Invalidate();
}

void TActionClientItem::SetControl(TCustomActionControl* value) {
  if (value == control_) return;
  FreeControl();
  control_ = value;
  if (control_ && Action()) ActionChange(Action(), true);
}

bool TActionClientItem::HasGlyph() const {
  auto* action = DynamicCast<TCustomAction>(static_cast<TObject*>(Action()));
  if (!action || !showGlyph_ || imageIndex_ == -1) return false;
  TCustomActionList* list = action->ActionList();
  if (!list || !list->Images()) return false;
  return action->ImageIndex() >= 0 && action->ImageIndex() < list->Images()->Count();
}

void TActionClientItem::SetVisible(bool value) {
  bool controlDiffers = control_ && control_->Visible() != value;
  if (value == visible_ && !controlDiffers) return;
  if (control_) control_->SetVisible(value);
  if (value != visible_) TActionClient::SetVisible(value);
}

void TActionClientItem::SetColor(TColor value) {
  TActionClient::SetColor(value);
  if (!control_) return;
  if (value == clNone) {
    control_->SetTransparent(true);
    control_->SetParentColor(true);
  } else if (value == clDefault) {
    control_->SetParentColor(true);
  } else {
    control_->SetColor(value);
  }
}

void TActionClientItem::SetChangesAllowed(TChangesAllowedSet value) {
  TActionClient::SetChangesAllowed(value);
  if (auto* parent = DynamicCast<TActionClientItem>(ParentItem()))
    if (value.Bits() < parent->ChangesAllowed().Bits()) parent->SetChangesAllowed(value);
}

void TActionClientItem::SetCollection(TCollection* value) {
  if (value != Collection()) FreeControl();
  TActionClient::SetCollection(value);
}

void TActionClientItem::SetIndex(int value) {
  TActionClient::SetIndex(value);
  if (control_) control_->RealignRequest();
}

void TActionClientItem::Refresh() {
  if (control_) control_->MeasureBounds();
}

String TActionClientItem::DisplayName() const {
  if (!caption_.empty()) return caption_;
  auto* action = DynamicCast<TCustomAction>(static_cast<TObject*>(Action()));
  if (action && !action->Caption().empty()) return action->Caption();
  return TActionClient::DisplayName();
}

void TActionClientItem::Assign(TPersistent* source) {
  auto* other = DynamicCast<TActionClientItem>(source);
  if (!other) {
    TActionClient::Assign(source);
    return;
  }
  struct TSuspend {
    TCollection* c;
    explicit TSuspend(TCollection* collection) : c(collection) {
      if (c) c->BeginUpdate();
    }
    ~TSuspend() {
      if (c) c->EndUpdate();
    }
  } suspend(Collection());
  SetAction(other->Action());
  SetCaption(other->Caption());
  SetImageIndex(other->ImageIndex());
  mergeIndex_ = other->MergeIndex();
  SetLastSession(other->LastSession());
  showCaption_ = other->ShowCaption();
  SetShowGlyph(other->ShowGlyph());
  SetShowShortCut(other->ShowShortCut());
  SetShortCut(other->ShortCut());
  SetUsageCount(other->UsageCount());
  TActionClient::Assign(source);
}

// ---- TActionClients ----

namespace {

TClass ItemClassOf(TPersistent* owner) {
  auto* manager = DynamicCast<TCustomActionManager>(owner);
  return manager ? manager->GetActionClientItemClass() : TActionClientItem::StaticClass();
}

}  // namespace

TActionClients::TActionClients(TPersistent* owner) : TActionClientsCollection(owner, ItemClassOf(owner)) {}

TActionClients::TActionClients(TPersistent* owner, TClass itemClass) : TActionClientsCollection(owner, itemClass) {}

int TActionClients::VisibleCount() const {
  int count = 0;
  for (int i = 0; i < Count(); ++i)
    if (ActionClients(i)->Visible()) ++count;
  return count;
}

void TActionClients::SetAutoHotKeys(bool value) {
  if (value == autoHotKeys_) return;
  autoHotKeys_ = value;
  if (value) AssignHotKeyLetters(this);
}

void TActionClients::SetCaptionOptions(TCaptionOptions value) {
  if (value == captionOptions_) return;
  captionOptions_ = value;
  TAlignSuspension suspend(ShowingBar(ParentItem()));
  VisitAllItems(this, [](TActionClient* client) {
    if (auto* item = DynamicCast<TActionClientItem>(client))
      if (item->Control()) item->Control()->MeasureBounds();
  });
}

void TActionClients::SetHideUnused(bool value) {
  if (value == hideUnused_) return;
  hideUnused_ = value;
  TCustomActionManager* manager = DynamicCast<TCustomActionManager>(GetOwner());
  if (ManagerLoading(manager)) return;
  for (int i = 0; i < Count(); ++i) {
    TActionClientItem* item = ActionClients(i);
    item->SetCheckUnused(true);
    if (item->HasItems()) item->Items()->SetHideUnused(value);
  }
}

void TActionClients::SetSmallIcons(bool value) {
  if (value == smallIcons_) return;
  smallIcons_ = value;
  TCustomActionBar* bar = ShowingBar(ParentItem());
  {
    TAlignSuspension suspend(bar);
    for (int i = 0; i < Count(); ++i) {
      TActionClientItem* item = ActionClients(i);
      if (item->Control()) item->Control()->SetSmallIcon(value);
      if (item->HasItems()) item->Items()->SetSmallIcons(value);
    }
  }
  if (bar) {
    bar->RecomputeSize();
    bar->Realign();
  }
}

void TActionClients::Assign(TPersistent* source) {
  TActionClientsCollection::Assign(source);
  if (auto* other = DynamicCast<TActionClients>(source)) {
    autoHotKeys_ = other->AutoHotKeys();
    SetCustomizable(other->Customizable());
    hideUnused_ = other->HideUnused();
    captionOptions_ = other->CaptionOptions();
    smallIcons_ = other->SmallIcons();
  }
}

void TActionClients::Notify(TCollectionItem* item, TCollectionNotification action) {
  TActionClientsCollection::Notify(item, action);
  if (action == cnAdded) {
    TCustomActionBar* bar = ShowingBar(ParentItem());
    auto* clientItem = DynamicCast<TActionClientItem>(static_cast<TObject*>(item));
    if (bar && clientItem && bar->HandleAllocated() && bar->Items() == this && !clientItem->Control())
      bar->MakeItemControl(clientItem);
    return;
  }
  // The child bar lays itself out again once the item is gone.
  TActionClient* parent = ParentItem();
  if (parent && parent->ChildBar() && parent->ChildBar()->HandleAllocated())
    PostMessage(parent->ChildBar()->Handle(), WM_SIZE, 0, 0);
}

// ---- TActionClientLink ----

TActionClientLink::TActionClientLink(TObject* client) : TActionLink(client) { BindClient(client); }

void TActionClientLink::BindClient(TObject* client) {
  if (client && !client->Is<TActionClientItem>()) throw EInvalidCast(SInvalidCast);
  client_ = static_cast<TActionClientItem*>(client);
}

namespace {

TCustomAction* CustomActionOf(const TBasicActionLink* link) {
  return DynamicCast<TCustomAction>(static_cast<TObject*>(link->Action()));
}

}  // namespace

bool TActionClientLink::ClientFollowsCaption() {
  return inherited::ClientFollowsCaption() && client_->Caption() == CustomActionOf(this)->Caption();
}

bool TActionClientLink::ClientFollowsChecked() { return inherited::ClientFollowsChecked(); }

bool TActionClientLink::ClientFollowsEnabled() {
  return inherited::ClientFollowsEnabled() && client_->Control() &&
         client_->Control()->Enabled() == CustomActionOf(this)->Enabled();
}

bool TActionClientLink::ClientFollowsHint() {
  return inherited::ClientFollowsHint() && client_->Control() &&
         client_->Control()->Hint() == CustomActionOf(this)->Hint();
}

bool TActionClientLink::ClientFollowsImageIndex() {
  return inherited::ClientFollowsImageIndex() && client_->ImageIndex() == CustomActionOf(this)->ImageIndex();
}

bool TActionClientLink::ClientFollowsOnExecute() {
  return Action() && client_->Control() && client_->Control()->OnClick() == Action()->OnExecute();
}

bool TActionClientLink::ClientFollowsShortCut() {
  return inherited::ClientFollowsShortCut() && client_->ShortCut() == CustomActionOf(this)->ShortCut();
}

bool TActionClientLink::ClientFollowsVisible() {
  return inherited::ClientFollowsVisible() && client_->Visible() == CustomActionOf(this)->Visible();
}

void TActionClientLink::PushCaption(const String& value) {
  if (ClientFollowsCaption()) client_->SetCaption(value);
}

void TActionClientLink::PushChecked(bool) {
  if (ClientFollowsChecked() && client_->Control()) client_->Control()->Invalidate();
}

void TActionClientLink::PushEnabled(bool value) {
  if (ClientFollowsEnabled()) client_->Control()->SetEnabled(value);
}

void TActionClientLink::PushHint(const String& value) {
  if (ClientFollowsHint()) client_->Control()->SetHint(value);
}

void TActionClientLink::PushImageIndex(TImageIndex value) {
  if (ClientFollowsImageIndex()) client_->SetImageIndex(value);
}

void TActionClientLink::PushOnExecute(TNotifyEvent value) {
  if (ClientFollowsOnExecute()) client_->Control()->SetOnClick(value);
}

void TActionClientLink::PushShortCut(TShortCut value) {
  if (ClientFollowsShortCut()) client_->SetShortCut(value);
}

void TActionClientLink::PushVisible(bool value) {
  if (ClientFollowsVisible()) client_->SetVisible(value);
}

// ---- Published ----

TAVELO_CLASS_IMPL(TActionClientsCollection)
TAVELO_CLASS_IMPL(TActionClientLink)

TAVELO_PUBLISH(TActionClient) {
  c.Property("ChangesAllowed", &Self::ChangesAllowed, &Self::SetChangesAllowed)
      .Default(TChangesAllowedSet{caModify, caMove, caDelete});
  c.Property("Color", &Self::Color, &Self::SetColor).Default(clDefault);
  c.Property("ContextItems", &Self::ContextItems, &Self::SetContextItems).Stored<&Self::IsContextItemsStored>();
  c.Property("Background", &Self::Background, &Self::SetBackground).Stored<&Self::IsBackgroundStored>();
  c.Property("BackgroundLayout", &Self::BackgroundLayout, &Self::SetBackgroundLayout).Default(blNormal);
  c.Property("Items", &Self::Items, &Self::SetItems).Stored<&Self::IsItemsStored>();
  c.Property("Visible", &Self::Visible, &Self::SetVisible).Default(true);
}

TAVELO_PUBLISH(TActionClientItem) {
  c.Property("Action", &Self::Action, &Self::SetAction);
  c.Property("Caption", &Self::Caption, &Self::SetCaption).Stored<&Self::IsCaptionStored>();
  c.Property("ImageIndex", &Self::ImageIndex, &Self::SetImageIndex).Default(-1);
  c.Property("MergeIndex", &Self::MergeIndex, &Self::SetMergeIndex).Default(0);
  c.Property("LastSession", &Self::LastSession, &Self::SetLastSession).Default(0);
  c.Property("ShowCaption", &Self::ShowCaption, &Self::SetShowCaption).Default(true);
  c.Property("ShowGlyph", &Self::ShowGlyph, &Self::SetShowGlyph).Default(true);
  c.Property("ShowShortCut", &Self::ShowShortCut, &Self::SetShowShortCut).Default(true);
  c.Property("ShortCut", &Self::ShortCut, &Self::SetShortCut).Default(TShortCut(0));
  c.Property("UsageCount", &Self::UsageCount, &Self::SetUsageCount).Default(0);
}

TAVELO_PUBLISH(TActionClients) {
  c.Property("AutoHotKeys", &Self::AutoHotKeys, &Self::SetAutoHotKeys).Default(true);
  c.Property("Customizable", &Self::Customizable, &Self::SetCustomizable).Default(true);
  c.Property("HideUnused", &Self::HideUnused, &Self::SetHideUnused).Default(true);
  c.Property("CaptionOptions", &Self::CaptionOptions, &Self::SetCaptionOptions).Default(coSelective);
  c.Property("SmallIcons", &Self::SmallIcons, &Self::SetSmallIcons).Default(true);
}

}  // namespace tavelo
