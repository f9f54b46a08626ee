#include "core/stringlist.h"

#include <cstring>
#include <utility>

#include "core/exceptions.h"
#include "core/list.h"
#include "core/rtlconsts.h"
#include "core/streams.h"
#include "core/updatebracket.h"
#include "core/system.h"
#include "core/filer.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TStrings)
TAVELO_CLASS_IMPL(TStringList)


// ---- TStrings ----

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}
void TStrings::SetCapacity(int) {}
void TStrings::SetUpdateState(bool) {}

void TStrings::Put(int index, String s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, std::move(s), object);
}

int TStrings::CompareStrings(const String& s1, const String& s2) const {
  return sys::CompareLocale(s1, s2, true);
}

int TStrings::Add(String s) {
  int index = GetCount();
  Insert(index, std::move(s));
  return index;
}

int TStrings::AddObject(String s, TObject* object) {
  int index = Add(std::move(s));
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  TUpdateBracket<TStrings> update(*this);
  for (int i = 0, n = strings.Count(); i < n; ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::InsertObject(int index, String s, TObject* object) {
  Insert(index, std::move(s));
  PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateBracket<TStrings> update(*this);
  String s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::Move(int currentIndex, int newIndex) {
  if (currentIndex == newIndex) return;
  TUpdateBracket<TStrings> update(*this);
  String s = Get(currentIndex);
  TObject* object = GetObject(currentIndex);
  Delete(currentIndex);
  InsertObject(newIndex, s, object);
}

String TStrings::GetTextStr() const {
  int n = GetCount();
  std::size_t size = 0;
  for (int i = 0; i < n; ++i) size += Get(i).size() + 2;
  String result;
  result.resize(size);
  char* p = result.data();
  for (int i = 0; i < n; ++i) {
    String s = Get(i);
    std::memcpy(p, s.data(), s.size());
    p += s.size();
    *p++ = '\r';
    *p++ = '\n';
  }
  return result;
}

void TStrings::SetTextStr(const String& value) {
  TUpdateBracket<TStrings> update(*this);
  Clear();
  const char* p = value.data();
  const char* end = p + value.size();
  // A NUL ends the text, as it ends the buffer form of it.
  while (p < end && *p != '\0') {
    const char* start = p;
    while (p < end && *p != '\r' && *p != '\n' && *p != '\0') ++p;
    Add(String(start, static_cast<std::size_t>(p - start)));
    if (p < end && *p == '\r') ++p;
    if (p < end && *p == '\n') ++p;
  }
}

std::unique_ptr<char[]> TStrings::GetText() const {
  String text = GetTextStr();
  std::unique_ptr<char[]> buffer(new char[text.size() + 1]);
  std::memcpy(buffer.get(), text.data(), text.size());
  buffer[text.size()] = '\0';
  return buffer;
}

void TStrings::SetTextBuffer(const char* text) { SetTextStr(text ? String(text) : String()); }

int TStrings::IndexOf(const String& s) const {
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& name) const {
  for (int i = 0, n = GetCount(); i < n; ++i) {
    String line = Get(i);
    std::size_t eq = line.find('=');
    if (eq != String::npos && CompareStrings(line.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
  for (int i = 0, n = GetCount(); i < n; ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

String TStrings::Names(int index) const {
  String line = Get(index);
  std::size_t eq = line.find('=');
  return eq == String::npos ? String() : line.substr(0, eq);
}

String TStrings::Values(const String& name) const {
  int index = IndexOfName(name);
  if (index < 0) return String();
  String line = Get(index);
  return line.size() > name.size() + 1 ? line.substr(name.size() + 1) : String();
}

void TStrings::LoadFromStream(TStream& stream) {
  TUpdateBracket<TStrings> update(*this);
  std::int64_t size = stream.Size() - stream.Position();
  String text;
  if (size > 0) {
    if (size > INT32_MAX) throw EReadError(SReadError);
    text.resize(static_cast<std::size_t>(size));
    // What was actually read is what the list gets.
    text.resize(static_cast<std::size_t>(stream.Read(text.data(), static_cast<std::int32_t>(size))));
  }
  SetTextStr(text);
}

void TStrings::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TStrings::SaveToStream(TStream& stream) const {
  String text = GetTextStr();
  if (text.size() > INT32_MAX) throw EWriteError(SWriteError);
  stream.WriteBuffer(text.data(), static_cast<std::int32_t>(text.size()));
}

void TStrings::SaveToFile(const String& fileName) const {
  SaveFileSafely(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& other) const {
  int n = GetCount();
  if (n != other.GetCount()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* source) {
  if (auto* strings = DynamicCast<TStrings>(source)) {
    TUpdateBracket<TStrings> update(*this);
    Clear();
    AddStrings(*strings);
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::DefineProperties(TFiler& filer) {
  auto* ancestor = DynamicCast<TStrings>(filer.Ancestor());
  bool hasData = ancestor ? !Equals(*ancestor) : Count() > 0;
  filer.DefineProperty(
      "Strings",
      [this](TReader& reader) {
        std::vector<String> strings = FilerHooks().ReadStringList(reader);
        TUpdateBracket<TStrings> update(*this);
        Clear();
        for (String& s : strings) Add(std::move(s));
      },
      [this](TWriter& writer) {
        std::vector<String> strings;
        strings.reserve(static_cast<std::size_t>(Count()));
        for (int i = 0; i < Count(); ++i) strings.push_back(Get(i));
        FilerHooks().WriteStringList(writer, strings);
      },
      hasData);
}

// ---- TStringList ----

TStringList::~TStringList() {
  onChange_ = TNotifyEvent();
  onChanging_ = TNotifyEvent();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && onChange_) onChange_(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && onChanging_) onChanging_(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

int TStringList::CompareStrings(const String& s1, const String& s2) const {
  return sys::CompareLocale(s1, s2, !caseSensitive_);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= count_) throw EStringListError(SListIndexError, {index});
}

String TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].string;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::Grow() { SetCapacity(GrowCapacity(capacity_)); }

void TStringList::SetCapacity(int newCapacity) {
  // Never below the count: the strings beyond it would be lost.
  if (newCapacity < count_) newCapacity = count_;
  if (newCapacity == capacity_) return;
  std::unique_ptr<TStringItem[]> block(newCapacity > 0 ? new TStringItem[static_cast<std::size_t>(newCapacity)] : nullptr);
  for (int i = 0; i < count_; ++i) block[i] = std::move(items_[i]);
  items_ = std::move(block);
  capacity_ = newCapacity;
}

void TStringList::InsertItem(int index, String s, TObject* object) {
  Changing();
  if (count_ == capacity_) Grow();
  for (int i = count_; i > index; --i) items_[i] = std::move(items_[i - 1]);
  items_[index].string = std::move(s);
  items_[index].object = object;
  ++count_;
  Changed();
}

int TStringList::Add(String s) { return AddObject(std::move(s), nullptr); }

int TStringList::AddObject(String s, TObject* object) {
  int index;
  if (!sorted_) {
    index = count_;
  } else if (Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(index, std::move(s), object);
  return index;
}

void TStringList::Insert(int index, String s) { InsertObject(index, std::move(s), nullptr); }

void TStringList::InsertObject(int index, String s, TObject* object) {
  if (sorted_) throw EStringListError(SSortedListError);
  if (index < 0 || index > count_) throw EStringListError(SListIndexError, {index});
  InsertItem(index, std::move(s), object);
}

void TStringList::Put(int index, String s) {
  if (sorted_) throw EStringListError(SSortedListError);
  CheckIndex(index);
  Changing();
  items_[index].string = std::move(s);
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  for (int i = index; i < count_ - 1; ++i) items_[i] = std::move(items_[i + 1]);
  --count_;
  items_[count_] = TStringItem();
  Changed();
}

void TStringList::ExchangeItems(int index1, int index2) { std::swap(items_[index1], items_[index2]); }

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  ExchangeItems(index1, index2);
  Changed();
}

void TStringList::Clear() {
  if (count_ == 0) return;
  Changing();
  items_.reset();
  count_ = 0;
  capacity_ = 0;
  Changed();
}

bool TStringList::Find(const String& s, int& index) const {
  bool found = false;
  int lo = 0, hi = count_ - 1;
  while (lo <= hi) {
    int mid = static_cast<int>((static_cast<unsigned>(lo) + static_cast<unsigned>(hi)) >> 1);
    int c = CompareStrings(items_[mid].string, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(const String& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::QuickSort(int left, int right, TStringListSortCompare compare) {
  while (left < right) {
    int i = left, j = right;
    int p = static_cast<int>((static_cast<unsigned>(left) + static_cast<unsigned>(right)) >> 1);
    do {
      while (compare(*this, i, p) < 0) ++i;
      while (compare(*this, j, p) > 0) --j;
      if (i <= j) {
        ExchangeItems(i, j);
        if (p == i) p = j;
        else if (p == j) p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (left < j) QuickSort(left, j, compare);
    left = i;
  }
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (sorted_ || count_ < 2) return;
  Changing();
  QuickSort(0, count_ - 1, compare);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, int index1, int index2) {
    return list.CompareStrings(list.items_[index1].string, list.items_[index2].string);
  });
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) {
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

}  // namespace tavelo
