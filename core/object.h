// The root of every class of the system, and the per-class record that names a class and
// its base. The record is created on first use, so no class depends on static start-up order.
#pragma once

#include "core/sysutils.h"

namespace tavelo {

class TMetaClass;
using TClass = const TMetaClass*;

class TMetaClass {
public:
  TMetaClass(const char* name, TClass parent, const char* unitName)
      : name_(name), parent_(parent), unitName_(unitName) {}
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  String ClassName() const { return name_; }
  const char* ClassNameData() const { return name_; }
  TClass ClassParent() const { return parent_; }
  String UnitName() const { return unitName_; }
  bool InheritsFrom(TClass ancestor) const {
    for (TClass c = this; c != nullptr; c = c->parent_)
      if (c == ancestor) return true;
    return false;
  }

private:
  const char* name_;
  TClass parent_;
  const char* unitName_;
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const { return ClassType()->ClassName(); }
  bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
  template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

// Declares a class's record and its class reference; the class body continues private.
#define TAVELO_CLASS(Cls, Base)                                         \
public:                                                                 \
  using inherited = Base;                                               \
  static ::tavelo::TClass StaticClass();                                \
  ::tavelo::TClass ClassType() const override { return Cls::StaticClass(); } \
                                                                        \
private:

// Defines the record declared by TAVELO_CLASS, in the class's source file.
#define TAVELO_CLASS_IMPL(Cls, Unit)                                              \
  ::tavelo::TClass Cls::StaticClass() {                                           \
    static const ::tavelo::TMetaClass meta(#Cls, Cls::inherited::StaticClass(), Unit); \
    return &meta;                                                                 \
  }

// Checked cast: null when the object is not of that class.
template <class T> T* DynamicCast(TObject* object) {
  return object && object->Is<T>() ? static_cast<T*>(object) : nullptr;
}

}  // namespace tavelo
