// The item tree of a manager: usage and the schedule, accelerators, links to actions, removal.
#include <gtest/gtest.h>

#include "actnman/actnconsts.h"
#include "actnman/tests/actnman_test_support.h"
#include "controls/application.h"
#include "core/exceptions.h"

namespace tavelo::testing {
namespace {

class ActionClientsTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartControls();
    owner = new TComponent(nullptr);
    manager = new TActionManager(owner);
    manager->SetName("Manager1");
    bar = manager->ActionBars()->Add();
  }
  void TearDown() override {
    delete owner;
    StopControls();
  }
  TAction* NewAction(const String& caption) {
    auto* action = new TAction(owner);
    action->SetCaption(caption);
    action->SetActionList(manager);
    return action;
  }
  TActionClientItem* NewItem(TActionClients* list, const String& caption) {
    TActionClientItem* item = list->Add();
    item->SetCaption(caption);
    return item;
  }
  std::vector<String> Captions(TActionClients* list) {
    std::vector<String> result;
    for (int i = 0; i < list->Count(); ++i) result.push_back(list->ActionClients(i)->Caption());
    return result;
  }

  TComponent* owner = nullptr;
  TActionManager* manager = nullptr;
  TActionBarItem* bar = nullptr;
};

TEST_F(ActionClientsTest, TheDefaultScheduleKeepsAnItemForItsSessions) {
  TActionClientItem* item = NewItem(bar->Items(), "Un");
  EXPECT_EQ(manager->PrioritySchedule()->Count(), 26);
  EXPECT_EQ(manager->PrioritySchedule()->Strings(2), "2=6");
  for (int session : {0, 1, 2}) {
    manager->ActionBars()->SetSessionCount(session);
    EXPECT_TRUE(manager->IsItemKeptVisible(item)) << session;
  }
  manager->ActionBars()->SetSessionCount(3);
  EXPECT_FALSE(manager->IsItemKeptVisible(item));
  item->SetCheckUnused(true);
  EXPECT_TRUE(IsHiddenAsUnused(item));
  // Beyond the last line the last line holds: 31 sessions.
  item->SetUsageCount(40);
  manager->ActionBars()->SetSessionCount(30);
  EXPECT_TRUE(manager->IsItemKeptVisible(item));
  manager->ActionBars()->SetSessionCount(31);
  EXPECT_FALSE(manager->IsItemKeptVisible(item));
}

TEST_F(ActionClientsTest, SomeItemsAreAlwaysInUse) {
  TActionClientItem* item = NewItem(bar->Items(), "Un");
  manager->ActionBars()->SetSessionCount(1000);
  item->SetUsageCount(-1);
  EXPECT_TRUE(manager->IsItemKeptVisible(item));
  item->SetUsageCount(0);
  EXPECT_FALSE(manager->IsItemKeptVisible(item));
  TStringList empty;
  manager->SetPrioritySchedule(&empty);
  EXPECT_TRUE(manager->IsItemKeptVisible(item));
  // A list that hides nothing never calls an item unused.
  TStringList one;
  one.SetText("0=1\r\n");
  manager->SetPrioritySchedule(&one);
  bar->Items()->SetHideUnused(false);
  item->SetCheckUnused(true);
  EXPECT_FALSE(IsHiddenAsUnused(item));
  bar->Items()->SetHideUnused(true);
  item->SetCheckUnused(true);
  EXPECT_TRUE(IsHiddenAsUnused(item));
}

TEST_F(ActionClientsTest, AnAssignedScheduleIsSortedByNameAsText) {
  TStringList schedule;
  schedule.SetText("2=5\r\n10=7\r\n0=1\r\n");
  manager->SetPrioritySchedule(&schedule);
  ASSERT_EQ(manager->PrioritySchedule()->Count(), 3);
  EXPECT_EQ(manager->PrioritySchedule()->Strings(0), "0=1");
  EXPECT_EQ(manager->PrioritySchedule()->Strings(1), "10=7");
  EXPECT_EQ(manager->PrioritySchedule()->Strings(2), "2=5");
  // Usage 3 stops at the line named 10: seven sessions.
  TActionClientItem* item = NewItem(bar->Items(), "Un");
  item->SetUsageCount(3);
  manager->ActionBars()->SetSessionCount(6);
  EXPECT_TRUE(manager->IsItemKeptVisible(item));
  manager->ActionBars()->SetSessionCount(7);
  EXPECT_FALSE(manager->IsItemKeptVisible(item));
  // A line whose name is no number takes no part in the lookup.
  schedule.SetText("x=100\r\n5=2\r\n");
  manager->SetPrioritySchedule(&schedule);
  manager->ActionBars()->SetSessionCount(1);
  EXPECT_TRUE(manager->IsItemKeptVisible(item));
  manager->ActionBars()->SetSessionCount(2);
  EXPECT_FALSE(manager->IsItemKeptVisible(item));
  EXPECT_TRUE(manager->IsPriorityScheduleStored());
}

TEST_F(ActionClientsTest, AcceleratorsOfACaption) {
  EXPECT_EQ(GetHotKeyChar("&Fichier"), 'F');
  EXPECT_EQ(GetHotKeyChar("Co&ller"), 'l');
  EXPECT_EQ(GetHotKeyChar("Fi&&chier"), 0);
  EXPECT_EQ(GetHotKeyChar("&A&&b&c"), 'c');
  EXPECT_EQ(GetHotKeyChar("?"), 0);
  // A lone "&" at the end marks nothing, whatever came before.
  EXPECT_EQ(GetHotKeyChar("&Fichier&"), 0);
  EXPECT_EQ(StripHotKey("&Enregistrer && fermer"), "Enregistrer & fermer");
  EXPECT_TRUE(IsHotKeyMatch('f', "&Fichier"));
  EXPECT_TRUE(IsHotKeyMatch('L', "Co&ller"));
  EXPECT_FALSE(IsHotKeyMatch('C', "Co&ller"));
  EXPECT_FALSE(IsHotKeyMatch('&', "Fichier&"));
}

TEST_F(ActionClientsTest, AcceleratorAssignment) {
  TActionClients* list = bar->Items();
  NewItem(list, "&Fichier");
  NewItem(list, "&Edition");
  NewItem(list, "?");
  // "?" has no accelerator: it is tried, and gets nothing.
  EXPECT_TRUE(AssignHotKeyLetters(list));
  EXPECT_EQ(Captions(list), (std::vector<String>{"&Fichier", "&Edition", "?"}));

  list->Clear();
  NewItem(list, "&Copier");
  NewItem(list, "&Coller");
  EXPECT_TRUE(AssignHotKeyLetters(list));
  EXPECT_EQ(Captions(list), (std::vector<String>{"&Copier", "C&oller"}));

  // The first attempt serves Ab first and leaves A without a letter; the second serves A
  // first and does better.
  list->Clear();
  NewItem(list, "Ab");
  NewItem(list, "A");
  EXPECT_TRUE(AssignHotKeyLetters(list));
  EXPECT_EQ(Captions(list), (std::vector<String>{"A&b", "&A"}));

  // Hidden items, separators and letterless captions are left as they are.
  list->Clear();
  NewItem(list, "-");
  TActionClientItem* hidden = NewItem(list, "Cache");
  hidden->SetVisible(false);
  NewItem(list, "Ouvrir");
  NewItem(list, "+-");
  AssignHotKeyLetters(list);
  EXPECT_EQ(Captions(list), (std::vector<String>{"-", "Cache", "&Ouvrir", "+-"}));
}

TEST_F(ActionClientsTest, UsageIsRecordedOnTheItemAndItsParents) {
  manager->ActionBars()->SetSessionCount(4);
  TActionClientItem* menu = NewItem(bar->Items(), "&Fichier");
  TActionClientItem* leaf = NewItem(menu->Items(), "&Ouvrir");
  NoteItemUse(leaf);
  EXPECT_EQ(leaf->UsageCount(), 1);
  EXPECT_EQ(menu->UsageCount(), 1);
  EXPECT_EQ(leaf->LastSession(), 4);
  EXPECT_EQ(menu->LastSession(), 4);
  menu->SetUsageCount(-1);
  NoteItemUse(leaf);
  EXPECT_EQ(leaf->UsageCount(), 2);
  EXPECT_EQ(menu->UsageCount(), -1);
  // The top of the range reads back as zero.
  leaf->SetUsageCount(2147483647);
  EXPECT_EQ(leaf->UsageCount(), 0);
}

TEST_F(ActionClientsTest, AMenuWithAnItemInUseStaysShown) {
  manager->ActionBars()->SetSessionCount(10);
  TActionClientItem* menu = NewItem(bar->Items(), "&Fichier");
  TActionClientItem* old = NewItem(menu->Items(), "Ancien");
  TActionClientItem* recent = NewItem(menu->Items(), "Recent");
  recent->SetLastSession(9);
  EXPECT_TRUE(IsHiddenAsUnused(old));
  EXPECT_FALSE(IsHiddenAsUnused(recent));
  EXPECT_TRUE(HasVisibleUsedChild(menu));
  EXPECT_FALSE(IsHiddenAsUnused(menu));
  recent->SetVisible(false);
  menu->SetCheckUnused(true);
  EXPECT_FALSE(HasVisibleUsedChild(menu));
  EXPECT_TRUE(IsHiddenAsUnused(menu));
}

TEST_F(ActionClientsTest, CaptionsSeparatorsAndActions) {
  TAction* open = NewAction("&Ouvrir...");
  open->SetImageIndex(7);
  open->SetShortCut(16463);
  TActionClientItem* item = bar->Items()->Add();
  item->SetAction(open);
  EXPECT_EQ(item->Caption(), "&Ouvrir...");
  EXPECT_EQ(item->ImageIndex(), 7);
  EXPECT_EQ(item->ShortCut(), 16463);
  EXPECT_EQ(item->ShortCutCaption(), "Ctrl+O");
  EXPECT_FALSE(item->IsCaptionStored());
  // A change of the action reaches the item while the item still follows it.
  open->SetCaption("O&uvrir");
  EXPECT_EQ(item->Caption(), "O&uvrir");
  item->SetCaption("Mon texte");
  open->SetCaption("Autre");
  EXPECT_EQ(item->Caption(), "Mon texte");
  // With an action, "-" is a caption; without one, a separator.
  item->SetCaption("-");
  EXPECT_FALSE(item->Separator());
  item->SetAction(nullptr);
  EXPECT_FALSE(item->Separator());
  item->SetCaption("|");
  EXPECT_TRUE(item->Separator());
  EXPECT_EQ(item->ShortCut(), 0);
  EXPECT_EQ(item->DisplayName(), "|");
}

TEST_F(ActionClientsTest, FreeingAnActionRemovesEveryItemOfIt) {
  TAction* open = NewAction("&Ouvrir");
  TAction* save = NewAction("&Enregistrer");
  TActionClientItem* menu = NewItem(bar->Items(), "&Fichier");
  menu->Items()->Add()->SetAction(open);
  menu->Items()->Add()->SetAction(save);
  TActionClientItem* deeper = menu->Items()->Add();
  deeper->SetCaption("Plus");
  deeper->Items()->Add()->SetAction(open);
  TActionBarItem* other = manager->ActionBars()->Add();
  other->Items()->Add()->SetAction(open);
  other->Items()->Add()->SetAction(save);
  delete open;
  EXPECT_EQ(manager->FindClientForAction(open), nullptr);
  EXPECT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(deeper->Items()->Count(), 0);
  ASSERT_EQ(other->Items()->Count(), 1);
  EXPECT_EQ(other->Items()->ActionClients(0)->Action(), save);
}

TEST_F(ActionClientsTest, ASubItemCannotTakeABarBelowABoundParent) {
  auto* parentBar = new TTestActionBar(owner);
  bar->SetActionBar(parentBar);
  TActionClientItem* item = NewItem(bar->Items(), "Un");
  // A bar item nested in a client item's list: its ancestor has a bar.
  auto* nested = new TActionBars(manager);
  nested->SetParentItem(item);
  TActionBarItem* sub = nested->Add();
  try {
    sub->SetActionBar(new TTestActionBar(owner));
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), SActionBarParentBound);
  }
  EXPECT_EQ(sub->ActionBar(), nullptr);
  delete nested;
  EXPECT_EQ(bar->DisplayName(), "ActionBar ->");
  parentBar->SetName("Barre1");
  EXPECT_EQ(bar->DisplayName(), "ActionBar ->Barre1");
}

TEST_F(ActionClientsTest, LinkedActionLists) {
  TActionListItem* entry = manager->LinkedActionLists()->Add();
  EXPECT_EQ(entry->Caption(), "(pas de nom)");
  try {
    entry->SetActionList(manager);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Les références circulaires ne sont pas autorisées.");
  }
  EXPECT_EQ(entry->ActionList(), nullptr);
  auto* list = new TCustomActionList(owner);
  list->SetName("Liste1");
  entry->SetActionList(list);
  EXPECT_EQ(entry->Caption(), "Liste1");
  EXPECT_EQ(entry->DisplayName(), "Liste1");
  manager->LinkedActionLists()->Add()->SetActionList(list);
  manager->LinkedActionLists()->Add()->SetCaption("Autre");
  // Every entry naming the list goes with it.
  delete list;
  ASSERT_EQ(manager->LinkedActionLists()->Count(), 1);
  EXPECT_EQ(manager->LinkedActionLists()->ListItems(0)->Caption(), "Autre");
}

TEST_F(ActionClientsTest, MergeIndexesFollow) {
  TActionClients* list = bar->Items();
  TActionClientItem* a = NewItem(list, "A");
  TActionClientItem* b = NewItem(list, "B");
  TActionClientItem* c = NewItem(list, "C");
  a->SetMergeIndex(5);
  EXPECT_EQ(a->MergeIndex(), 5);
  EXPECT_EQ(b->MergeIndex(), 5);
  EXPECT_EQ(c->MergeIndex(), 5);
  // Not the first, and the previous one is set: a smaller value changes nothing.
  b->SetMergeIndex(3);
  EXPECT_EQ(b->MergeIndex(), 5);
}

TEST_F(ActionClientsTest, CopyingAnItemCopiesItsTree) {
  TAction* open = NewAction("&Ouvrir");
  TActionClientItem* source = NewItem(bar->Items(), "&Fichier");
  source->SetUsageCount(4);
  source->SetLastSession(2);
  source->SetColor(clRed);
  source->Items()->Add()->SetAction(open);
  source->Items()->SetCaptionOptions(coAll);
  source->ContextItems()->Add()->SetCaption("Contexte");
  TActionClientItem* copy = bar->Items()->Add();
  copy->Assign(source);
  EXPECT_EQ(copy->Caption(), "&Fichier");
  EXPECT_EQ(copy->UsageCount(), 4);
  EXPECT_EQ(copy->LastSession(), 2);
  EXPECT_EQ(copy->Color(), clRed);
  ASSERT_EQ(copy->Items()->Count(), 1);
  EXPECT_NE(copy->Items(), source->Items());
  EXPECT_EQ(copy->Items()->ActionClients(0)->Action(), open);
  EXPECT_EQ(copy->Items()->CaptionOptions(), coAll);
  EXPECT_EQ(copy->Items()->ParentItem(), copy);
  // Context items are copied, never shared.
  ASSERT_TRUE(copy->HasContextItems());
  EXPECT_NE(copy->ContextItems(), source->ContextItems());
  delete open;
  EXPECT_EQ(copy->Items()->Count(), 0);
}

TEST_F(ActionClientsTest, AListWhoseOwnerIsNoManagerHasNone) {
  TActionClients list(nullptr, TActionClientItem::StaticClass());
  EXPECT_THROW(list.ActionManager(), EInvalidCast);
  EXPECT_EQ(bar->Items()->ActionManager(), manager);
}

}  // namespace
}  // namespace tavelo::testing
