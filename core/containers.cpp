#include "core/containers.h"

#include <cstdint>
#include <limits>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TThreadList)
TAVELO_CLASS_IMPL(TBits)

// ---- TThreadList ----

TThreadList::~TThreadList() {
  sys::TLockGuard hold(lock_);
  list_.Clear();
}

void TThreadList::Add(void* item) {
  sys::TLockGuard hold(lock_);
  if (duplicates_ == dupAccept || list_.IndexOf(item) == -1) {
    list_.Add(item);
  } else if (duplicates_ == dupError) {
    throw EListError(SDuplicateItem, {static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(item))});
  }
}

void TThreadList::Remove(void* item) {
  sys::TLockGuard hold(lock_);
  list_.Remove(item);
}

void TThreadList::Clear() {
  sys::TLockGuard hold(lock_);
  list_.Clear();
}

TList* TThreadList::LockList() {
  lock_.Enter();
  return &list_;
}

void TThreadList::UnlockList() { lock_.Leave(); }

// ---- TBits ----

void TBits::SetSize(int value) {
  if (value < 0) throw EBitsError(SBitsIndexError);
  words_.resize((static_cast<std::size_t>(value) + 31) / 32, 0u);
  // Bits beyond the new size are cleared, so that growing again shows them clear.
  if (value % 32 != 0 && !words_.empty()) words_.back() &= (1u << (value % 32)) - 1u;
  if (value == 0) words_.shrink_to_fit();
  size_ = value;
}

bool TBits::Bit(int index) const {
  if (index < 0 || index >= size_) throw EBitsError(SBitsIndexError);
  return (words_[static_cast<std::size_t>(index) / 32] >> (index % 32)) & 1u;
}

void TBits::SetBit(int index, bool value) {
  // The last index an int holds cannot be reached: the size would be one past it.
  if (index < 0 || index == std::numeric_limits<int>::max()) throw EBitsError(SBitsIndexError);
  if (index >= size_) SetSize(index + 1);
  std::uint32_t mask = 1u << (index % 32);
  std::uint32_t& word = words_[static_cast<std::size_t>(index) / 32];
  word = value ? (word | mask) : (word & ~mask);
}

int TBits::OpenBit() const {
  for (std::size_t w = 0; w < words_.size(); ++w) {
    if (words_[w] == 0xFFFFFFFFu) continue;
    for (int b = 0; b < 32; ++b) {
      int index = static_cast<int>(w * 32) + b;
      if (index >= size_) return size_;
      if (!((words_[w] >> b) & 1u)) return index;
    }
  }
  return size_;
}

}  // namespace tavelo
