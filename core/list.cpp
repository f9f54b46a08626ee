#include "core/list.h"

#include <cstdlib>
#include <cstring>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TList)

int GrowCapacity(int capacity) {
  if (capacity > 64) return capacity + capacity / 4;
  if (capacity > 8) return capacity + 16;
  return capacity + 4;
}

TList::~TList() {
  // A derived class is gone by now, so only this class's notification runs; derived lists
  // that care clear themselves in their own destructor.
  Clear();
}

void TList::Error(const char* message, int data) const { throw EListError(message, {data}); }

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= count_) Error(SListIndexError, index);
}

void TList::Grow() { SetCapacity(GrowCapacity(capacity_)); }

void TList::Notify(void*, TListNotification) {}

int TList::Add(void* item) {
  int index = count_;
  if (index == capacity_) Grow();
  items_[index] = item;
  ++count_;
  if (item) Notify(item, lnAdded);
  return index;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > count_) Error(SListIndexError, index);
  if (count_ == capacity_) Grow();
  if (index < count_)
    std::memmove(items_ + index + 1, items_ + index, static_cast<std::size_t>(count_ - index) * sizeof(void*));
  items_[index] = item;
  ++count_;
  if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = items_[index];
  --count_;
  if (index < count_)
    std::memmove(items_ + index, items_ + index + 1, static_cast<std::size_t>(count_ - index) * sizeof(void*));
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* item) const {
  for (int i = 0; i < count_; ++i)
    if (items_[i] == item) return i;
  return -1;
}

void TList::Move(int currentIndex, int newIndex) {
  if (currentIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= count_) Error(SListIndexError, newIndex);
  void* item = Get(currentIndex);
  // Moved through a null slot, so that the move notifies nobody.
  items_[currentIndex] = nullptr;
  Delete(currentIndex);
  Insert(newIndex, nullptr);
  items_[newIndex] = item;
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  void* item = items_[index1];
  items_[index1] = items_[index2];
  items_[index2] = item;
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  void* old = items_[index];
  if (item == old) return;
  items_[index] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::SetCapacity(int value) {
  if (value < count_ || value > kMaxListSize) Error(SListCapacityError, value);
  if (value == capacity_) return;
  if (value == 0) {
    std::free(items_);
    items_ = nullptr;
  } else {
    void* grown = std::realloc(items_, static_cast<std::size_t>(value) * sizeof(void*));
    if (!grown) throw EOutOfMemory(SOutOfMemory);
    items_ = static_cast<void**>(grown);
  }
  capacity_ = value;
}

void TList::SetCount(int value) {
  if (value < 0 || value > kMaxListSize) Error(SListCountError, value);
  if (value > capacity_) SetCapacity(value);
  if (value > count_) {
    std::memset(items_ + count_, 0, static_cast<std::size_t>(value - count_) * sizeof(void*));
    count_ = value;
  } else {
    for (int i = count_ - 1; i >= value; --i) Delete(i);
  }
}

}  // namespace tavelo
