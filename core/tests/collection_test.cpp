#include "core/collection.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

class TPanelItem : public TCollectionItem {
  TAVELO_CLASS(TPanelItem, TCollectionItem)
public:
  explicit TPanelItem(TCollection* collection) : TCollectionItem(nullptr) { SetCollection(collection); }
  int Width() const { return width_; }
  void SetWidth(int value) { width_ = value; }
  void Assign(TPersistent* source) override {
    if (auto* other = DynamicCast<TPanelItem>(source)) {
      width_ = other->width_;
      return;
    }
    TCollectionItem::Assign(source);
  }

private:
  int width_ = 50;
};
TAVELO_PUBLISH(TPanelItem) { c.Property("Width", &Self::Width, &Self::SetWidth).Default(50); }

class TOtherItem : public TCollectionItem {
  TAVELO_CLASS(TOtherItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
};
TAVELO_CLASS_IMPL(TOtherItem)

// Records the hooks in order: "added 0", "extracting 1", "deleting 1", "update nil"...
class TRecordingCollection : public TOwnedCollection {
  TAVELO_CLASS(TRecordingCollection, TOwnedCollection)
public:
  explicit TRecordingCollection(TPersistent* owner = nullptr) : TOwnedCollection(owner, TPanelItem::StaticClass()) {}
  std::vector<std::string> log;

protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    static const char* kNames[] = {"added", "extracting", "deleting"};
    log.push_back(std::string(kNames[action]) + " " + std::to_string(item->ID()));
    TOwnedCollection::Notify(item, action);
  }
  void Update(TCollectionItem* item) override {
    log.push_back(item ? "update " + std::to_string(item->ID()) : "update nil");
  }
};
TAVELO_CLASS_IMPL(TRecordingCollection)

class TStatusBarLike : public TComponent {
  TAVELO_CLASS(TStatusBarLike, TComponent)
public:
  explicit TStatusBarLike(TComponent* owner) : TComponent(owner), panels_(this) {}
  TRecordingCollection* Panels() const { return const_cast<TRecordingCollection*>(&panels_); }
  void SetPanels(TRecordingCollection* value) { panels_.Assign(value); }

private:
  TRecordingCollection panels_;
};
TAVELO_PUBLISH(TStatusBarLike) { c.Property("Panels", &Self::Panels, &Self::SetPanels); }

TEST(CollectionTest, IdentifiersNeverRepeat) {
  TRecordingCollection panels;
  panels.Add();
  panels.Add();
  panels.Add();
  EXPECT_EQ(panels.Items(2)->ID(), 2);
  panels.Delete(1);
  TCollectionItem* added = panels.Add();
  EXPECT_EQ(added->ID(), 3);
  EXPECT_EQ(added->Index(), 2);
  EXPECT_EQ(panels.FindItemID(3), added);
  EXPECT_EQ(panels.FindItemID(1), nullptr);
  panels.Clear();
  EXPECT_EQ(panels.Add()->ID(), 4);
}

TEST(CollectionTest, HooksFireInOrderWithOneUpdatePerChange) {
  TRecordingCollection panels;
  panels.Add();
  panels.Add();
  EXPECT_EQ(panels.log, (std::vector<std::string>{"added 0", "update nil", "added 1", "update nil"}));
  panels.log.clear();
  panels.Delete(0);
  EXPECT_EQ(panels.log, (std::vector<std::string>{"deleting 0", "extracting 0", "update nil"}));
  panels.log.clear();
  delete panels.Items(0);  // freeing an item directly takes it out
  EXPECT_EQ(panels.log, (std::vector<std::string>{"extracting 1", "update nil"}));
  EXPECT_EQ(panels.Count(), 0);
}

TEST(CollectionTest, MovingFiresOneUpdateAndKeepsIdentifiers) {
  TRecordingCollection panels;
  for (int i = 0; i < 3; ++i) panels.Add();
  panels.log.clear();
  panels.Items(2)->SetIndex(0);
  EXPECT_EQ(panels.log, (std::vector<std::string>{"update nil"}));
  EXPECT_EQ(panels.Items(0)->ID(), 2);
  EXPECT_EQ(panels.Items(1)->ID(), 0);
  EXPECT_RAISES(panels.Items(0)->SetIndex(3), EListError, "Indice de liste hors limites (3)");
  EXPECT_RAISES(panels.Items(-1), EListError, "Indice de liste hors limites (-1)");
}

TEST(CollectionTest, ClearFiresOnceAndOnlyAtTheOutermostEnd) {
  TRecordingCollection panels;
  panels.Clear();
  EXPECT_TRUE(panels.log.empty());
  panels.Add();
  panels.Add();
  panels.log.clear();
  panels.BeginUpdate();
  panels.Clear();
  EXPECT_EQ(panels.log, (std::vector<std::string>{"extracting 1", "extracting 0"}));
  panels.EndUpdate();
  EXPECT_EQ(panels.log.back(), "update nil");
  EXPECT_EQ(std::count(panels.log.begin(), panels.log.end(), "update nil"), 1);
}

TEST(CollectionTest, ItemsOfAnotherClassAreRefused) {
  TRecordingCollection panels;
  TOtherItem stray(nullptr);
  EXPECT_RAISES(stray.SetCollection(&panels), EListError, "Valeur de propriété incorrecte");
  EXPECT_EQ(panels.Count(), 0);
  EXPECT_EQ(stray.Collection(), nullptr);

  // Constructed straight into the collection: refused before anything changes or is told.
  EXPECT_RAISES(new TOtherItem(&panels), EListError, "Valeur de propriété incorrecte");
  EXPECT_RAISES(TOtherItem::StaticClass()->Construct(&panels), EListError, "Valeur de propriété incorrecte");
  EXPECT_EQ(panels.Count(), 0);
  EXPECT_TRUE(panels.log.empty());
  // The item class itself still enters that way, and no identifier went to the refused ones.
  auto* made = static_cast<TCollectionItem*>(TPanelItem::StaticClass()->Construct(&panels));
  auto* panel = new TPanelItem(&panels);
  EXPECT_EQ(made->Collection(), &panels);
  EXPECT_EQ(panel->Index(), 1);
  EXPECT_EQ(panel->ID(), 1);
  EXPECT_EQ(panels.log, (std::vector<std::string>{"added 0", "update nil", "added 1", "update nil"}));
  TCollection plain(TCollectionItem::StaticClass());
  auto* item = new TCollectionItem(&plain);
  EXPECT_EQ(item->Collection(), &plain);
}

TEST(CollectionTest, AssignCopiesItemsAndRefusesStrangers) {
  TRecordingCollection source, copy;
  static_cast<TPanelItem*>(source.Add())->SetWidth(350);
  static_cast<TPanelItem*>(source.Add())->SetWidth(90);
  copy.Add();
  copy.log.clear();
  copy.Assign(&source);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TPanelItem*>(copy.Items(0))->Width(), 350);
  EXPECT_EQ(copy.Items(0)->ID(), 1);  // fresh identifiers
  EXPECT_EQ(std::count(copy.log.begin(), copy.log.end(), "update nil"), 1);
  TPersistent plain;
  EXPECT_RAISES(copy.Assign(&plain), EConvertError, "Impossible d'affecter TPersistent à TRecordingCollection");
}

TEST(CollectionTest, NamePathsGoThroughTheOwnersProperty) {
  TStatusBarLike bar(nullptr);
  bar.SetName("StatusBar1");
  bar.Panels()->Add();
  EXPECT_EQ(bar.Panels()->Items(0)->GetNamePath(), "StatusBar1.Panels[0]");
  EXPECT_EQ(bar.Panels()->PropName(), "Panels");
  TRecordingCollection loose;
  EXPECT_EQ(loose.GetNamePath(), "TRecordingCollection");
  TPanelItem orphan(nullptr);
  EXPECT_EQ(orphan.GetNamePath(), "TPanelItem");
  EXPECT_EQ(orphan.DisplayName(), "TPanelItem");
}

}  // namespace
}  // namespace tavelo::testing
