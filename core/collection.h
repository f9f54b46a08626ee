// Collections: an owned, ordered list of items of one item class, each with a permanent
// identifier. Status panels and action bar items are collections.
#pragma once

#include "core/list.h"
#include "core/persistent.h"
#include "core/typinfo.h"

namespace tavelo {

class TCollection;

enum TCollectionNotification { cnAdded = 0, cnExtracting = 1, cnDeleting = 2 };

class TCollectionItem : public TPersistent {
  TAVELO_CLASS(TCollectionItem, TPersistent)
public:
  using TConstructorArg = TCollection;

  // Enters the collection when one is given, refused with EListError SInvalidPropertyValue unless
  // the item is of the collection's item class. While this base runs, the object is only a
  // TCollectionItem, so a derived class passes null here and sets the collection in its own
  // constructor's body:
  //   explicit TPanel(TCollection* c) : TCollectionItem(nullptr) { SetCollection(c); }
  // A collection's Add constructs items with none and then sets it.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  virtual void SetCollection(TCollection* value);
  int ID() const { return id_; }
  // The position in the collection, -1 without one.
  int Index() const;
  virtual void SetIndex(int value);
  virtual String DisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const String& value);

  TPersistent* GetOwner() const override;
  String GetNamePath() const override;

protected:
  // Reports a change of this item (or of all items) to the collection's update hook.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  TAVELO_CLASS(TCollection, TPersistent)
public:
  explicit TCollection(TClass itemClass);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  TClass ItemClass() const { return itemClass_; }
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return items_.Count(); }
  // Raises EListError SListIndexError.
  TCollectionItem* Items(int index) const { return static_cast<TCollectionItem*>(items_.Get(index)); }
  TCollectionItem* FindItemID(int id) const;
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(TPersistent* source) override;
  String GetNamePath() const override;
  // The owner's published property that holds this collection, found once and cached.
  String PropName() const;

protected:
  virtual void Added(TCollectionItem*& item);
  virtual void Deleting(TCollectionItem* item);
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  virtual void SetItemName(TCollectionItem* item);
  // The change hook: the one item that changed, or null when the whole collection did.
  virtual void Update(TCollectionItem* item);
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  TClass itemClass_;
  TList items_;
  int updateCount_ = 0;
  int nextID_ = 0;
  mutable String propName_;
};

// A collection with an owner, so that its name path and property name resolve.
class TOwnedCollection : public TCollection {
  TAVELO_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}
  TPersistent* GetOwner() const override { return owner_; }

private:
  TPersistent* owner_;
};

}  // namespace tavelo
