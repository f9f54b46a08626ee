// The class registry: turns a class name read from a stream into a class to construct.
// Classes live in registration groups; only active groups are searched.
#pragma once

#include <memory>
#include <vector>

#include "core/typinfo.h"

namespace tavelo {

// Registers a class and every ancestor not yet registered, each in its best group. Raises
// EFilerError SDuplicateClass when that group holds another class of the
// same name; registering a class twice is harmless.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
// The registered class of that name in an active group, or null.
TClass GetClass(const String& name);
// The same, or EClassNotFound SClassNotFound.
TClass FindClass(const String& name);
// Appends a group started by cls unless a group already has it among its group classes.
void StartClassGroup(TClass cls);
// Makes cls the active class; each group is active when cls inherits from one of its group
// classes. Returns the previously active class.
TClass ActivateClassGroup(TClass cls);
// Adds cls to the group classes of groupClass's best group (EFilerError SUnknownGroup
// when it has none) and moves there the registered
// classes that now belong to it.
void GroupDescendentsWith(TClass cls, TClass groupClass);

// The groups a reading searches: those the root's class belongs to, then, when asked, every
// active group. The registry's lock is held while it is built and during each lookup.
class TClassFinder {
public:
  TClassFinder(TClass cls, bool includeActiveGroups);
  ~TClassFinder();
  TClassFinder(const TClassFinder&) = delete;
  TClassFinder& operator=(const TClassFinder&) = delete;
  TClass GetClass(const String& name) const;

private:
  std::vector<const void*> groups_;
};

}  // namespace tavelo
