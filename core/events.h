// Events: a (code, data) pair. The code is a plain function that receives the object the
// event was bound to as its first argument; binding a member function makes one such
// function per member, so two events bound to the same handler compare equal whatever
// object they carry.
#pragma once

namespace tavelo {

class TObject;

// The untyped form of every event, as the metadata and the stream reader see it.
struct TMethod {
  void* Code = nullptr;
  TObject* Data = nullptr;
};

template <class Signature> class TEvent;

template <class... Args> class TEvent<void(Args...)> {
public:
  using TSignature = void(Args...);
  using TCode = void (*)(TObject* data, Args... args);

  TEvent() = default;
  TEvent(TCode code, TObject* data) : code_(code), data_(data) {}

  // The event that calls Member on object. The object travels as a TObject* and the thunk
  // converts it back, so a handler's class may have more than one base.
  template <auto Member, class C> static TEvent Bind(C* object) {
    return TEvent(&Thunk<Member, C>, static_cast<TObject*>(object));
  }
  template <auto Member, class C> static void Thunk(TObject* data, Args... args) {
    (static_cast<C*>(data)->*Member)(args...);
  }

  explicit operator bool() const { return code_ != nullptr; }
  void operator()(Args... args) const {
    if (code_) code_(data_, args...);
  }
  // Events compare by code: "is this handler the action's handler" is the question asked.
  bool operator==(const TEvent& other) const { return code_ == other.code_; }

  TCode Code() const { return code_; }
  TObject* Data() const { return data_; }
  TMethod AsMethod() const { return TMethod{reinterpret_cast<void*>(code_), data_}; }
  static TEvent FromMethod(const TMethod& m) { return TEvent(reinterpret_cast<TCode>(m.Code), m.Data); }

private:
  TCode code_ = nullptr;
  TObject* data_ = nullptr;
};

}  // namespace tavelo

// Declares an event type: a type of its own, so that the metadata, the dumper and the error
// messages can name it, over the signature its handlers have:
//   TAVELO_EVENT(TCloseEvent, void(TObject* sender, TCloseAction& action))
#define TAVELO_EVENT(Name, Signature)                                          \
  struct Name : ::tavelo::TEvent<Signature> {                                  \
    using TEvent::TEvent;                                                      \
    Name(const ::tavelo::TEvent<Signature>& event) : TEvent(event) {}          \
    static constexpr const char* kTypeName = #Name;                            \
  };

namespace tavelo {

TAVELO_EVENT(TNotifyEvent, void(TObject* sender))

}  // namespace tavelo
