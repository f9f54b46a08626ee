#include "streaming/fixups.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <utility>

#include "core/system.h"
#include "core/typinfo.h"
#include "streaming/namespacelock.h"

namespace tavelo {

namespace {

// The references waiting for a component of another root, behind their own lock. Every
// change goes through Change, which takes the count from the list: the count is read without
// the lock, since the destructor of every persistent object asks for it.
class TGlobalFixupList {
public:
  int Count() const { return count_.load(); }
  void Add(TPropFixup fixup) {
    Change([&](std::vector<TPropFixup>& list) { list.push_back(std::move(fixup)); });
  }
  void RemoveIf(const std::function<bool(const TPropFixup&)>& select) {
    Change([&](std::vector<TPropFixup>& list) { list.erase(std::remove_if(list.begin(), list.end(), select), list.end()); });
  }
  void Resolve();

private:
  template <class F> void Change(F change) {
    sys::TLockGuard hold(lock_);
    change(list_);
    count_ = static_cast<int>(list_.size());
  }

  sys::TCriticalSection lock_;
  std::vector<TPropFixup> list_;
  std::atomic<int> count_{0};
};

void TGlobalFixupList::Resolve() {
  // Held while the properties are set: a setter that frees an object drops that object's
  // references through the same recursive lock, so the list is read again at every step.
  sys::TLockGuard hold(lock_);
  for (std::size_t i = 0; i < list_.size();) {
    TPropFixup fixup = list_[i];
    TComponent* root = FindGlobalComponent(fixup.rootName);
    // A property that was set meanwhile no longer waits for its root.
    if (root == nullptr && fixup.prop->Access().GetObject(fixup.instance) == nullptr) {
      ++i;
      continue;
    }
    Change([i](std::vector<TPropFixup>& list) { list.erase(list.begin() + static_cast<std::ptrdiff_t>(i)); });
    if (root != nullptr) fixup.prop->Access().SetObject(fixup.instance, FindNestedComponent(root, fixup.name));
  }
}

TGlobalFixupList& GlobalFixups() {
  static TGlobalFixupList fixups;
  return fixups;
}

struct TGlobalFinders {
  sys::TCriticalSection lock;
  std::vector<TFindGlobalComponent> procs;
};

TGlobalFinders& GlobalFinders() {
  static TGlobalFinders finders;
  return finders;
}

}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  TGlobalFinders& finders = GlobalFinders();
  sys::TLockGuard hold(finders.lock);
  if (std::find(finders.procs.begin(), finders.procs.end(), proc) == finders.procs.end()) finders.procs.push_back(proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent proc) {
  TGlobalFinders& finders = GlobalFinders();
  sys::TLockGuard hold(finders.lock);
  finders.procs.erase(std::remove(finders.procs.begin(), finders.procs.end(), proc), finders.procs.end());
}

TComponent* FindGlobalComponent(const String& name) {
  TGlobalFinders& finders = GlobalFinders();
  sys::TLockGuard hold(finders.lock);
  for (TFindGlobalComponent proc : finders.procs)
    if (TComponent* found = proc(name)) return found;
  return nullptr;
}

TComponent* FindNestedComponent(TComponent* root, const String& namePath) {
  if (namePath.empty() || root == nullptr) return nullptr;
  TComponent* current = root;
  TComponent* result = nullptr;
  std::size_t i = 0;
  while (i < namePath.size()) {
    std::size_t end = namePath.find_first_of(".-", i);
    if (end == String::npos) end = namePath.size();
    String segment = namePath.substr(i, end - i);
    i = end;
    if (i < namePath.size() && namePath[i] == '.') ++i;
    if (i < namePath.size() && namePath[i] == '-') ++i;
    if (i < namePath.size() && namePath[i] == '>') ++i;
    result = current->FindComponent(segment);
    if (result == nullptr && segment == "Owner") result = current;
    if (result == nullptr) return nullptr;
    current = result;
  }
  return result;
}

void ResolveLocalFixups(const std::vector<TPropFixup>& fixups) {
  TGlobalFixupList& global = GlobalFixups();
  for (const TPropFixup& fixup : fixups) {
    TComponent* found = FindNestedComponent(fixup.instanceRoot, fixup.name);
    global.RemoveIf([&](const TPropFixup& g) { return g.instance == fixup.instance && g.prop == fixup.prop; });
    if (found != nullptr) {
      fixup.prop->Access().SetObject(fixup.instance, found);
    } else if (std::size_t dot = fixup.name.find('.'); dot != String::npos) {
      global.Add({fixup.instance, fixup.instanceRoot, fixup.prop, fixup.name.substr(0, dot), fixup.name.substr(dot + 1)});
    } else {
      fixup.prop->Access().SetObject(fixup.instance, nullptr);
    }
  }
}

void GlobalFixupReferences() {
  TGlobalFixupList& global = GlobalFixups();
  if (global.Count() == 0) return;
  sys::TLockGuard space(NameSpaceLock());
  global.Resolve();
}

int PendingGlobalFixupCount() { return GlobalFixups().Count(); }

void RemoveFixupReferences(TComponent* root, TPersistent* instance) {
  TGlobalFixupList& global = GlobalFixups();
  if (global.Count() == 0) return;
  global.RemoveIf([&](const TPropFixup& f) {
    return (root != nullptr && f.instanceRoot == root) || (instance != nullptr && f.instance == instance);
  });
}

}  // namespace tavelo
