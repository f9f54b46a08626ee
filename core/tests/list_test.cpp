#include "core/list.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/containers.h"
#include "core/tests/test_support.h"

namespace tavelo::testing {
namespace {

// Records every notification as "+p" or "-p".
class TRecordingList : public TList {
public:
  ~TRecordingList() override { Clear(); }
  std::vector<std::string> log;

protected:
  void Notify(void* item, TListNotification action) override {
    log.push_back((action == lnAdded ? "+" : "-") + std::to_string(reinterpret_cast<std::uintptr_t>(item)));
  }
};

void* P(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

TEST(ListTest, GrowsByTheSharedRule) {
  TList list;
  std::vector<int> capacities{list.Capacity()};
  for (int i = 0; i < 77; ++i) {
    list.Add(P(1));
    if (list.Capacity() != capacities.back()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(ListTest, NotifiesNonNullPointersOnly) {
  TRecordingList list;
  list.Add(P(1));
  list.Add(nullptr);
  list.Insert(0, P(2));
  list.Put(1, P(3));
  list.Put(1, P(3));
  list.Delete(2);
  EXPECT_EQ(list.log, (std::vector<std::string>{"+1", "+2", "-1", "+3"}));
  list.log.clear();
  list.Add(P(4));
  list.log.clear();
  list.Move(0, 1);  // moves notify nobody
  EXPECT_TRUE(list.log.empty());
  EXPECT_EQ(list.Get(1), P(2));
  list.SetCount(0);  // from the last index down
  EXPECT_EQ(list.log, (std::vector<std::string>{"-4", "-2", "-3"}));
}

TEST(ListTest, RemoveAndIndexOfUseTheFirstMatch) {
  TList list;
  list.Add(P(7));
  list.Add(P(8));
  list.Add(P(7));
  EXPECT_EQ(list.IndexOf(P(7)), 0);
  EXPECT_EQ(list.Remove(P(7)), 0);
  EXPECT_EQ(list.Remove(P(9)), -1);
  EXPECT_EQ(list.First(), P(8));
  EXPECT_EQ(list.Last(), P(7));
  list.SetCount(4);
  EXPECT_EQ(list.Get(3), nullptr);
}

TEST(ListTest, RangeErrorsNameTheOffendingValue) {
  TList list;
  list.Add(P(1));
  EXPECT_RAISES(list.Get(1), EListError, "Indice de liste hors limites (1)");
  EXPECT_RAISES(list.Insert(2, P(1)), EListError, "Indice de liste hors limites (2)");
  EXPECT_RAISES(list.Delete(-1), EListError, "Indice de liste hors limites (-1)");
  EXPECT_RAISES(list.Move(0, 5), EListError, "Indice de liste hors limites (5)");
  EXPECT_RAISES(list.SetCapacity(0), EListError, "Capacité de liste hors limites (0)");
  EXPECT_RAISES(list.SetCapacity(134217728), EListError, "Capacité de liste hors limites (134217728)");
  EXPECT_RAISES(list.SetCount(-1), EListError, "Compte de liste hors limites (-1)");
  EXPECT_RAISES(list.SetCount(134217728), EListError, "Compte de liste hors limites (134217728)");
  EXPECT_RAISES(TList().First(), EListError, "Indice de liste hors limites (0)");
}

TEST(ThreadListTest, DuplicatesFollowTheMode) {
  TThreadList list;
  list.Add(P(0x10));
  list.Add(P(0x10));
  EXPECT_EQ(TLockedList(list)->Count(), 1);
  list.SetDuplicates(dupAccept);
  list.Add(P(0x10));
  EXPECT_EQ(TLockedList(list)->Count(), 2);
  list.SetDuplicates(dupError);
  list.Add(P(0x1A));  // not there yet
  EXPECT_EQ(TLockedList(list)->Count(), 3);
}

TEST(ThreadListTest, ErrorModeRefusesAPointerAlreadyThere) {
  TThreadList list;
  list.SetDuplicates(dupError);
  list.Add(P(0xBEEF));
  EXPECT_RAISES(list.Add(P(0xBEEF)), EListError, "La liste n'autorise pas les doublons ($0BEEF)");
  list.Remove(P(0xBEEF));
  EXPECT_EQ(TLockedList(list)->Count(), 0);
}

TEST(BitsTest, GrowsOnSetAndChecksReads) {
  TBits bits;
  EXPECT_EQ(bits.OpenBit(), 0);
  bits.SetBit(40, true);
  EXPECT_EQ(bits.Size(), 41);
  EXPECT_TRUE(bits.Bit(40));
  EXPECT_FALSE(bits.Bit(3));
  for (int i = 0; i < 41; ++i) bits.SetBit(i, true);
  EXPECT_EQ(bits.OpenBit(), 41);
  bits.SetBit(33, false);
  EXPECT_EQ(bits.OpenBit(), 33);
  EXPECT_RAISES(bits.Bit(41), EBitsError, "Indice de bits hors limites");
  EXPECT_RAISES(bits.SetBit(-1, true), EBitsError, "Indice de bits hors limites");
  EXPECT_RAISES(bits.SetSize(-1), EBitsError, "Indice de bits hors limites");
  bits.SetSize(35);
  bits.SetSize(40);
  EXPECT_FALSE(bits.Bit(38));  // bits cut off by a shrink come back clear
  // The largest index an int holds would need a size one past it.
  EXPECT_RAISES(bits.SetBit(2147483647, true), EBitsError, "Indice de bits hors limites");
  EXPECT_RAISES(bits.SetBit(2147483647, false), EBitsError, "Indice de bits hors limites");
  EXPECT_RAISES(bits.Bit(2147483647), EBitsError, "Indice de bits hors limites");
  EXPECT_EQ(bits.Size(), 40);
  EXPECT_EQ(bits.OpenBit(), 33);
}

}  // namespace
}  // namespace tavelo::testing
