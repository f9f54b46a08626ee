// Two small containers of the name services: the locked pointer list and the bit set.
#pragma once

#include <cstdint>
#include <vector>

#include "core/list.h"
#include "core/system.h"

namespace tavelo {

// A pointer list for several threads: every operation holds the list's lock.
class TThreadList : public TObject {
  TAVELO_CLASS(TThreadList, TObject)
public:
  TThreadList() = default;
  ~TThreadList() override;
  TThreadList(const TThreadList&) = delete;
  TThreadList& operator=(const TThreadList&) = delete;

  // Raises EListError SDuplicateItem for a duplicate in
  // error mode.
  void Add(void* item);
  void Remove(void* item);
  void Clear();
  // The inner list, locked until UnlockList; every path must unlock.
  TList* LockList();
  void UnlockList();
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }

private:
  sys::TCriticalSection lock_;
  TList list_;
  TDuplicates duplicates_ = dupIgnore;
};

// Holds a locked list for a scope.
class TLockedList {
public:
  explicit TLockedList(TThreadList& list) : owner_(list), list_(list.LockList()) {}
  ~TLockedList() { owner_.UnlockList(); }
  TLockedList(const TLockedList&) = delete;
  TLockedList& operator=(const TLockedList&) = delete;
  TList* operator->() const { return list_; }
  TList& operator*() const { return *list_; }

private:
  TThreadList& owner_;
  TList* list_;
};

class TBits : public TObject {
  TAVELO_CLASS(TBits, TObject)
public:
  int Size() const { return size_; }
  // Errors raise EBitsError SBitsIndexError.
  void SetSize(int value);
  bool Bit(int index) const;
  // Grows the set to index + 1 bits first when needed.
  void SetBit(int index, bool value);
  // The lowest clear bit; the size when there is none.
  int OpenBit() const;

private:
  int size_ = 0;
  std::vector<std::uint32_t> words_;
};

}  // namespace tavelo
