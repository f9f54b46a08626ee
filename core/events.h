// Events: a (code, data) pair. The code is a plain function that receives the data as its
// first argument; binding a member function makes one such function per member, so two
// events bound to the same handler compare equal whatever object they carry.
#pragma once

namespace tavelo {

class TObject;

// The untyped form of every event, as the metadata and the stream reader see it.
struct TMethod {
  void* Code = nullptr;
  void* Data = nullptr;
};

template <class Signature> class TEvent;

template <class... Args> class TEvent<void(Args...)> {
public:
  using TCode = void (*)(void* data, Args... args);

  TEvent() = default;
  TEvent(TCode code, void* data) : code_(code), data_(data) {}

  // The event that calls Member on object.
  template <auto Member, class C> static TEvent Bind(C* object) {
    return TEvent(&Thunk<Member, C>, object);
  }
  template <auto Member, class C> static void Thunk(void* data, Args... args) {
    (static_cast<C*>(data)->*Member)(args...);
  }

  explicit operator bool() const { return code_ != nullptr; }
  void operator()(Args... args) const {
    if (code_) code_(data_, args...);
  }
  // Events compare by code: "is this handler the action's handler" is the question asked.
  bool operator==(const TEvent& other) const { return code_ == other.code_; }

  TCode Code() const { return code_; }
  void* Data() const { return data_; }
  TMethod AsMethod() const { return TMethod{reinterpret_cast<void*>(code_), data_}; }
  static TEvent FromMethod(const TMethod& m) { return TEvent(reinterpret_cast<TCode>(m.Code), m.Data); }

private:
  TCode code_ = nullptr;
  void* data_ = nullptr;
};

using TNotifyEvent = TEvent<void(TObject* sender)>;

}  // namespace tavelo
