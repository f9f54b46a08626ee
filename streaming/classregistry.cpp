#include "streaming/classregistry.h"

#include <algorithm>

#include "core/exceptions.h"
#include "core/persistent.h"
#include "core/system.h"
#include "streaming/streamconsts.h"

namespace tavelo {

namespace {

class TRegGroup {
public:
  explicit TRegGroup(TClass groupClass) { groupClasses.push_back(groupClass); }

  // The most derived of the group classes that cls inherits from, or null.
  TClass BestClass(TClass cls) const {
    TClass best = nullptr;
    for (TClass c : groupClasses)
      if (cls->InheritsFrom(c) && (best == nullptr || c->InheritsFrom(best))) best = c;
    return best;
  }
  bool InGroup(TClass cls) const {
    return std::any_of(groupClasses.begin(), groupClasses.end(), [cls](TClass c) { return cls->InheritsFrom(c); });
  }
  bool Registered(TClass cls) const { return std::find(classes.begin(), classes.end(), cls) != classes.end(); }
  TClass GetClass(const String& name) const {
    for (TClass c : classes)
      if (SameName(c->ClassName(), name)) return c;
    for (const auto& [alias, c] : aliases)
      if (SameName(alias, name)) return c;
    return nullptr;
  }

  std::vector<TClass> groupClasses;
  std::vector<TClass> classes;
  // No alias is registered in this system; the lookup keeps their place.
  std::vector<std::pair<String, TClass>> aliases;
  bool active = false;
};

class TRegGroups {
public:
  TRegGroups() {
    groups_.push_back(std::make_unique<TRegGroup>(TPersistent::StaticClass()));
    groups_.back()->active = true;
    activeClass_ = TPersistent::StaticClass();
  }

  sys::TCriticalSection lock;

  // The group whose best class is the most derived; the later group on a tie.
  TRegGroup* FindGroup(TClass cls) const {
    TRegGroup* result = nullptr;
    TClass best = nullptr;
    for (const auto& group : groups_) {
      TClass c = group->BestClass(cls);
      if (c != nullptr && (best == nullptr || c->InheritsFrom(best))) {
        result = group.get();
        best = c;
      }
    }
    return result;
  }

  bool Registered(TClass cls) const {
    return std::any_of(groups_.begin(), groups_.end(), [cls](const auto& g) { return g->Registered(cls); });
  }

  void Register(TClass cls) {
    while (cls != nullptr && !Registered(cls)) {
      TRegGroup* group = FindGroup(cls);
      if (group == nullptr) return;  // not a persistent class: nothing to register it in
      if (group->GetClass(cls->ClassName()) != nullptr) throw EFilerError(SDuplicateClass, {cls->ClassName()});
      group->classes.push_back(cls);
      if (cls == TPersistent::StaticClass()) break;
      cls = cls->ClassParent();
    }
  }

  TClass GetClass(const String& name) const {
    for (const auto& group : groups_) {
      if (!group->active) continue;
      if (TClass c = group->GetClass(name)) return c;
    }
    return nullptr;
  }

  void StartGroup(TClass cls) {
    for (const auto& group : groups_)
      if (std::find(group->groupClasses.begin(), group->groupClasses.end(), cls) != group->groupClasses.end()) return;
    groups_.push_back(std::make_unique<TRegGroup>(cls));
  }

  TClass Activate(TClass cls) {
    TClass previous = activeClass_;
    if (cls != activeClass_) {
      activeClass_ = cls;
      for (const auto& group : groups_) group->active = group->InGroup(cls);
    }
    return previous;
  }

  void GroupWith(TClass cls, TClass groupClass) {
    TRegGroup* group = FindGroup(groupClass);
    if (group == nullptr) throw EFilerError(SUnknownGroup, {groupClass->ClassName()});
    group->groupClasses.push_back(cls);
    for (const auto& other : groups_) {
      if (other.get() == group) continue;
      for (int j = static_cast<int>(other->classes.size()) - 1; j >= 0; --j) {
        TClass c = other->classes[static_cast<std::size_t>(j)];
        if (c->InheritsFrom(cls) && FindGroup(c) == group) {
          other->classes.erase(other->classes.begin() + j);
          group->classes.push_back(c);
        }
      }
    }
  }

  std::vector<const void*> FinderGroups(TClass cls, bool includeActive) const {
    std::vector<const void*> result;
    for (const auto& group : groups_)
      if (group->InGroup(cls)) result.push_back(group.get());
    if (includeActive)
      for (const auto& group : groups_)
        if (group->active) result.push_back(group.get());
    return result;
  }

private:
  std::vector<std::unique_ptr<TRegGroup>> groups_;
  TClass activeClass_;
};

TRegGroups& RegGroups() {
  static TRegGroups groups;
  return groups;
}

}  // namespace

void RegisterClass(TClass cls) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  groups.Register(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass cls : classes) RegisterClass(cls);
}

TClass GetClass(const String& name) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  return groups.GetClass(name);
}

TClass FindClass(const String& name) {
  TClass cls = GetClass(name);
  if (cls == nullptr) throw EClassNotFound(SClassNotFound, {name});
  return cls;
}

void StartClassGroup(TClass cls) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  groups.StartGroup(cls);
}

TClass ActivateClassGroup(TClass cls) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  return groups.Activate(cls);
}

void GroupDescendentsWith(TClass cls, TClass groupClass) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  groups.GroupWith(cls, groupClass);
}

TClassFinder::TClassFinder(TClass cls, bool includeActiveGroups) {
  TRegGroups& groups = RegGroups();
  sys::TLockGuard hold(groups.lock);
  groups_ = groups.FinderGroups(cls, includeActiveGroups);
}

TClassFinder::~TClassFinder() = default;

TClass TClassFinder::GetClass(const String& name) const {
  sys::TLockGuard hold(RegGroups().lock);
  for (const void* group : groups_)
    if (TClass c = static_cast<const TRegGroup*>(group)->GetClass(name)) return c;
  return nullptr;
}

}  // namespace tavelo
