// TList: the pointer list every other container of the system is built on.
#pragma once

#include <cstdint>

#include "core/object.h"

namespace tavelo {

enum class TListNotification { lnAdded = 0, lnExtracted = 1, lnDeleted = 2 };
using enum TListNotification;

// What a list that refuses duplicates does with one: the sorted string list and the locked
// pointer list share it.
enum TDuplicates : std::uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TList : public TObject {
  TAVELO_CLASS(TList, TObject)
public:
  static constexpr int kMaxListSize = 134217727;

  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // The index the item had, or -1.
  int Remove(void* item);
  int IndexOf(void* item) const;
  void Move(int currentIndex, int newIndex);
  void Exchange(int index1, int index2);
  void* Get(int index) const;
  void Put(int index, void* item);
  void* First() const { return Get(0); }
  void* Last() const { return Get(count_ - 1); }
  virtual void Clear();

  int Count() const { return count_; }
  void SetCount(int value);
  int Capacity() const { return capacity_; }
  void SetCapacity(int value);
  void** List() const { return items_; }

protected:
  virtual void Grow();
  virtual void Notify(void* item, TListNotification action);
  [[noreturn]] virtual void Error(const char* message, int data) const;

private:
  void CheckIndex(int index) const;

  void** items_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};

// The growth step shared by the system's arrays.
int GrowCapacity(int capacity);

}  // namespace tavelo
