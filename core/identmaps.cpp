#include "core/identmaps.h"

#include <memory>
#include <vector>

#include "core/containers.h"

namespace tavelo {

namespace {

struct TIntConst {
  const TTypeInfo* type;
  TIdentToInt identToInt;
  TIntToIdent intToIdent;
};

TThreadList& IntConstList() {
  static TThreadList list;
  return list;
}

// The records the list points at; they live as long as the process.
std::vector<std::unique_ptr<TIntConst>>& IntConstStore() {
  static std::vector<std::unique_ptr<TIntConst>> store;
  return store;
}

const TIntConst* FindIntConst(const TTypeInfo* type) {
  TLockedList list(IntConstList());
  for (int i = list->Count() - 1; i >= 0; --i) {
    auto* entry = static_cast<const TIntConst*>(list->Get(i));
    if (entry->type == type) return entry;
  }
  return nullptr;
}

}  // namespace

void RegisterIntegerConsts(const TTypeInfo* type, TIdentToInt identToInt, TIntToIdent intToIdent) {
  TLockedList list(IntConstList());
  IntConstStore().push_back(std::make_unique<TIntConst>(TIntConst{type, identToInt, intToIdent}));
  list->Add(IntConstStore().back().get());
}

TIdentToInt FindIdentToInt(const TTypeInfo* type) {
  const TIntConst* entry = FindIntConst(type);
  return entry ? entry->identToInt : nullptr;
}

TIntToIdent FindIntToIdent(const TTypeInfo* type) {
  const TIntConst* entry = FindIntConst(type);
  return entry ? entry->intToIdent : nullptr;
}

bool IdentToInt(const String& ident, int& value, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& row : map) {
    if (SameName(ident, row.Name)) {
      value = row.Value;
      return true;
    }
  }
  return false;
}

bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& row : map) {
    if (row.Value == value) {
      ident = row.Name;
      return true;
    }
  }
  return false;
}

}  // namespace tavelo
