// String lists: the ordered lists of text lines the system keeps everywhere, and the text
// file format of every document the editor opens and writes.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "core/events.h"
#include "core/list.h"
#include "core/persistent.h"

namespace tavelo {

class TStream;

// Strings are taken by value where the list keeps them, so that a temporary is moved in.
class TStrings : public TPersistent {
  TAVELO_CLASS(TStrings, TPersistent)
public:
  ~TStrings() override = default;

  String Strings(int index) const { return Get(index); }
  void SetStrings(int index, String value) { Put(index, std::move(value)); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* value) { PutObject(index, value); }
  int Count() const { return GetCount(); }
  int Capacity() const { return GetCapacity(); }
  // Every line followed by CR LF.
  String Text() const { return GetTextStr(); }
  void SetText(const String& value) { SetTextStr(value); }
  // The text before a line's first "="; empty when it has none.
  String Names(int index) const;
  // The text after the "=" of the first line whose name is name; empty when none.
  String Values(const String& name) const;

  virtual int Add(String s);
  virtual int AddObject(String s, TObject* object);
  virtual void AddStrings(const TStrings& strings);
  virtual void Clear() = 0;
  virtual void Delete(int index) = 0;
  virtual void Exchange(int index1, int index2);
  // The whole text in a new NUL-terminated buffer that the caller owns.
  virtual std::unique_ptr<char[]> GetText() const;
  virtual int IndexOf(const String& s) const;
  virtual int IndexOfName(const String& name) const;
  virtual int IndexOfObject(TObject* object) const;
  virtual void Insert(int index, String s) = 0;
  virtual void InsertObject(int index, String s, TObject* object);
  virtual void LoadFromFile(const String& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void Move(int currentIndex, int newIndex);
  virtual void SaveToFile(const String& fileName) const;
  virtual void SaveToStream(TStream& stream) const;
  // Sets the whole text from a NUL-terminated buffer.
  virtual void SetTextBuffer(const char* text);
  virtual void SetCapacity(int newCapacity);

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // Same count and byte-identical strings; objects are not compared.
  bool Equals(const TStrings& other) const;
  void Assign(TPersistent* source) override;

protected:
  virtual String Get(int index) const = 0;
  virtual int GetCapacity() const { return GetCount(); }
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int index) const;
  virtual String GetTextStr() const;
  virtual void Put(int index, String s);
  virtual void PutObject(int index, TObject* object);
  virtual void SetTextStr(const String& value);
  virtual void SetUpdateState(bool updating);
  virtual int CompareStrings(const String& s1, const String& s2) const;
  // Strings: the lines as a list of string values.
  void DefineProperties(TFiler& filer) override;


private:
  int updateCount_ = 0;
};

class TStringList;
using TStringListSortCompare = int (*)(TStringList& list, int index1, int index2);

class TStringList : public TStrings {
  TAVELO_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  ~TStringList() override;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int Add(String s) override;
  int AddObject(String s, TObject* object) override;
  void Clear() override;
  void Delete(int index) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const String& s) const override;
  void Insert(int index, String s) override;
  void InsertObject(int index, String s, TObject* object) override;
  void SetCapacity(int newCapacity) override;

  // Binary search: whether s is there, and its index or the insertion point.
  virtual bool Find(const String& s, int& index) const;
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  // A sorted list is sorted again under the new comparison, so that Find stays right.
  void SetCaseSensitive(bool value);
  TNotifyEvent OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent value) { onChange_ = value; }
  TNotifyEvent OnChanging() const { return onChanging_; }
  void SetOnChanging(TNotifyEvent value) { onChanging_ = value; }

protected:
  String Get(int index) const override;
  int GetCapacity() const override { return capacity_; }
  int GetCount() const override { return count_; }
  TObject* GetObject(int index) const override;
  void Put(int index, String s) override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(const String& s1, const String& s2) const override;

  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(int index, String s, TObject* object);

private:
  struct TStringItem {
    String string;
    TObject* object = nullptr;
  };

  void CheckIndex(int index) const;
  void Grow();
  void QuickSort(int left, int right, TStringListSortCompare compare);
  void ExchangeItems(int index1, int index2);

  std::unique_ptr<TStringItem[]> items_;
  int count_ = 0;
  int capacity_ = 0;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};

}  // namespace tavelo
