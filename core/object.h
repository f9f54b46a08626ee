// The root of every class of the system. Each class has one record, TMetaClass (see
// core/typinfo.h), that names it, links it to its base, constructs it and lists what it
// publishes; the class reference TClass points at that record.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/sysutils.h"

namespace tavelo {

class TMetaClass;
using TClass = const TMetaClass*;

// A message as every dispatch routine of the system receives it: a window message, a
// reflected notification or one of the framework's own. The fields have the platform's
// pointer-sized widths, so a message crosses the window procedure unchanged.
struct TMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

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

  // Handles a message: a class overrides this with a switch on Msg whose cases handle
  // what the class handles and whose default calls its base class's Dispatch, so an
  // unhandled message climbs the classes and ends in DefaultHandler.
  virtual void Dispatch(TMessage& message) { DefaultHandler(message); }
  // What happens to a message no class handled: nothing here; windowed classes pass it to
  // the platform.
  virtual void DefaultHandler(TMessage& message) { (void)message; }

  // The nearest class above C that declared itself with TAVELO_CLASS (see below).
  template <class TavQ> friend TObject* TavNearestClass(TObject*, TavQ*);
};

}  // namespace tavelo

// Declares a class's record and its class reference; the class body continues private.
// The record itself is defined in the class's source file by TAVELO_PUBLISH, or by
// TAVELO_CLASS_IMPL for a class that publishes nothing (core/publish.h), which also checks
// that Base is the class's real direct base.
#define TAVELO_CLASS(Cls, Base)                                                  \
public:                                                                          \
  using inherited = Base;                                                        \
  static ::tavelo::TClass StaticClass();                                         \
  ::tavelo::TClass ClassType() const override { return Cls::StaticClass(); }     \
  /* Found by argument lookup from any class below; never defined, only asked */ \
  /* for its type. Excluded for Cls itself, so the nearest base's one wins. */   \
  template <class TavQ>                                                           \
  friend std::enable_if_t<!std::is_same_v<TavQ, Cls>, Cls*> TavNearestClass(Cls*, TavQ*); \
                                                                                 \
private:

namespace tavelo {

// Checked cast: null when the object is not of that class.
template <class T> T* DynamicCast(TObject* object) {
  return object && object->Is<T>() ? static_cast<T*>(object) : nullptr;
}
template <class T> const T* DynamicCast(const TObject* object) {
  return object && object->Is<T>() ? static_cast<const T*>(object) : nullptr;
}

}  // namespace tavelo
