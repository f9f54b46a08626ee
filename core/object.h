// The root of every class of the system. Each class has one record, TMetaClass (see
// core/typinfo.h), that names it, links it to its base, constructs it and lists what it
// publishes; the class reference TClass points at that record.
#pragma once

#include "core/sysutils.h"

namespace tavelo {

class TMetaClass;
using TClass = const TMetaClass*;

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const;
  bool InheritsFrom(TClass ancestor) const;
  template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }
};

// Declares a class's record and its class reference; the class body continues private.
// The record itself is defined in the class's source file by TAVELO_PUBLISH, or by
// TAVELO_CLASS_IMPL for a class that publishes nothing (core/typinfo.h).
#define TAVELO_CLASS(Cls, Base)                                                  \
public:                                                                          \
  using inherited = Base;                                                        \
  static ::tavelo::TClass StaticClass();                                         \
  ::tavelo::TClass ClassType() const override { return Cls::StaticClass(); }     \
                                                                                 \
private:

// Checked cast: null when the object is not of that class.
template <class T> T* DynamicCast(TObject* object) {
  return object && object->Is<T>() ? static_cast<T*>(object) : nullptr;
}
template <class T> const T* DynamicCast(const TObject* object) {
  return object && object->Is<T>() ? static_cast<const T*>(object) : nullptr;
}

}  // namespace tavelo
