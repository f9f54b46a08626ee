#include "core/collection.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/updatebracket.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TCollectionItem)
TAVELO_CLASS_IMPL(TCollection)
TAVELO_CLASS_IMPL(TOwnedCollection)

using TCollectionUpdate = TUpdateBracket<TCollection>;

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* collection) {
  // Checked as a TCollectionItem, the only class this object has yet: a derived class that
  // enters through here is refused, so derived classes enter from their own constructors.
  if (collection) SetCollection(collection);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
  if (value == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const {
  return collection_ ? collection_->items_.IndexOf(const_cast<TCollectionItem*>(this)) : -1;
}

void TCollectionItem::SetIndex(int value) {
  int current = Index();
  if (current >= 0 && current != value) {
    collection_->items_.Move(current, value);
    Changed(true);
  }
}

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

String TCollectionItem::GetNamePath() const {
  if (!collection_) return ClassName();
  return Format("%s[%d]", {collection_->GetNamePath(), Index()});
}

// ---- TCollection ----

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no update while the items go
  Clear();
}

TCollectionItem* TCollection::Add() {
  auto* item = static_cast<TCollectionItem*>(itemClass_->Construct(nullptr));
  try {
    item->SetCollection(this);
  } catch (...) {
    delete item;
    throw;
  }
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (items_.Count() == 0) return;
  TCollectionUpdate update(*this);
  while (items_.Count() > 0) delete static_cast<TCollectionItem*>(items_.Last());
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (int i = 0; i < items_.Count(); ++i)
    if (Items(i)->id_ == id) return Items(i);
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  --updateCount_;
  Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  if (!item->InheritsFrom(itemClass_)) throw EListError(SInvalidPropertyValue);
  items_.Add(item);
  item->collection_ = this;
  item->id_ = nextID_++;
  SetItemName(item);
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  if (items_.Count() > 0 && items_.Last() == item) items_.Delete(items_.Count() - 1);
  else items_.Remove(item);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::Added(TCollectionItem*&) {}
void TCollection::Deleting(TCollectionItem*) {}
void TCollection::SetItemName(TCollectionItem*) {}
void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (action == cnAdded) Added(item);
  else if (action == cnDeleting) Deleting(item);
}

void TCollection::Assign(TPersistent* source) {
  if (auto* other = DynamicCast<TCollection>(source)) {
    TCollectionUpdate update(*this);
    Clear();
    for (int i = 0; i < other->Count(); ++i) Add()->Assign(other->Items(i));
    return;
  }
  TPersistent::Assign(source);
}

String TCollection::PropName() const {
  TPersistent* owner = GetOwner();
  if (propName_.empty() && owner) {
    for (const TPropInfo* prop : owner->ClassType()->Properties()) {
      if (prop->Kind() == tkClass && prop->Access().GetObject(owner) == this) {
        propName_ = prop->Name();
        break;
      }
    }
  }
  return propName_;
}

String TCollection::GetNamePath() const {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  String ownerPath = owner->GetNamePath();
  if (ownerPath.empty()) return ClassName();
  String prop = PropName();
  if (prop.empty()) return ClassName();
  return ownerPath + "." + prop;
}

}  // namespace tavelo
