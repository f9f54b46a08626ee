// The builder a class publishes through, and the macros that define a class's record.
// Included by typinfo.h; not meant to be included on its own.
//
//   TAVELO_PUBLISH(TCustomEdit) {
//     c.Property("MaxLength", &Self::MaxLength, &Self::SetMaxLength).Default(0);
//     c.Event("OnChange", &Self::OnChange, &Self::SetOnChange);
//     c.Field("Memo1", &Self::Memo1);
//     c.Method<&Self::FormClose>("FormClose");
//   }
#pragma once

#include <functional>
#include <type_traits>

#include "core/exceptions.h"
#include "core/rtlconsts.h"

namespace tavelo {

// Turns a property value of type T into the ordinal form the metadata speaks, and back.
template <class T> long long ToOrdinal(const T& value) {
  if constexpr (TIsSet<T>::value) return static_cast<long long>(value.Bits());
  else if constexpr (std::is_same_v<T, char>) return static_cast<unsigned char>(value);
  else if constexpr (std::is_enum_v<T>) return static_cast<long long>(static_cast<std::underlying_type_t<T>>(value));
  else return static_cast<long long>(value);
}
template <class T> T FromOrdinal(long long value) {
  if constexpr (TIsSet<T>::value) return T::FromBits(static_cast<std::uint32_t>(value));
  else if constexpr (std::is_same_v<T, bool>) return value != 0;
  else if constexpr (std::is_enum_v<T>) return static_cast<T>(static_cast<std::underlying_type_t<T>>(value));
  else return static_cast<T>(value);
}

template <class T> inline constexpr bool kIsOrdinal =
    std::is_integral_v<T> || std::is_enum_v<T> || TIsSet<T>::value;

// Accessors of a property of type T on class C through a getter G and a setter S (or none).
template <class C, class T, class G, class S> class TMemberAccessor final : public TPropAccessor {
public:
  TMemberAccessor(G getter, S setter) : get_(getter), set_(setter) {}
  bool HasSetter() const override { return !std::is_same_v<S, std::nullptr_t>; }

  long long GetOrd(const TObject* o) const override {
    if constexpr (kIsOrdinal<T>) return ToOrdinal(Get(o));
    else WrongKind();
  }
  void SetOrd(TObject* o, long long v) const override {
    if constexpr (kIsOrdinal<T>) Set(o, FromOrdinal<T>(v));
    else WrongKind();
  }
  String GetStr(const TObject* o) const override {
    if constexpr (std::is_same_v<T, String>) return Get(o);
    else if constexpr (std::is_same_v<T, WideString>) return WideToAnsi(Get(o));
    else WrongKind();
  }
  void SetStr(TObject* o, const String& v) const override {
    if constexpr (std::is_same_v<T, String>) Set(o, v);
    else if constexpr (std::is_same_v<T, WideString>) Set(o, AnsiToWide(v));
    else WrongKind();
  }
  WideString GetWideStr(const TObject* o) const override {
    if constexpr (std::is_same_v<T, WideString>) return Get(o);
    else if constexpr (std::is_same_v<T, String>) return AnsiToWide(Get(o));
    else WrongKind();
  }
  void SetWideStr(TObject* o, const WideString& v) const override {
    if constexpr (std::is_same_v<T, WideString>) Set(o, v);
    else if constexpr (std::is_same_v<T, String>) Set(o, WideToAnsi(v));
    else WrongKind();
  }
  long double GetFloat(const TObject* o) const override {
    if constexpr (std::is_floating_point_v<T>) return Get(o);
    else WrongKind();
  }
  void SetFloat(TObject* o, long double v) const override {
    if constexpr (std::is_floating_point_v<T>) Set(o, static_cast<T>(v));
    else WrongKind();
  }
  TMethod GetMethod(const TObject* o) const override {
    if constexpr (TIsEvent<T>::value) return Get(o).AsMethod();
    else WrongKind();
  }
  void SetMethod(TObject* o, const TMethod& v) const override {
    if constexpr (TIsEvent<T>::value) Set(o, T::FromMethod(v));
    else WrongKind();
  }
  TVariant GetVariant(const TObject* o) const override {
    if constexpr (std::is_same_v<T, TVariant>) return Get(o);
    else WrongKind();
  }
  void SetVariant(TObject* o, const TVariant& v) const override {
    if constexpr (std::is_same_v<T, TVariant>) Set(o, v);
    else WrongKind();
  }
  TObject* GetObject(const TObject* o) const override {
    if constexpr (std::is_pointer_v<T>) return Get(o);
    else WrongKind();
  }
  void SetObject(TObject* o, TObject* v) const override {
    if constexpr (std::is_pointer_v<T>) {
      using Target = std::remove_pointer_t<T>;
      // A value of another class would be a wrong object behind a typed pointer.
      if (v != nullptr && !v->Is<Target>()) throw EInvalidCast(SInvalidCast);
      Set(o, static_cast<T>(v));
    } else {
      WrongKind();
    }
  }

private:
  T Get(const TObject* o) const { return (static_cast<const C*>(o)->*get_)(); }
  void Set(TObject* o, const T& v) const {
    if constexpr (std::is_same_v<S, std::nullptr_t>) WrongKind();
    else (static_cast<C*>(o)->*set_)(v);
  }

  G get_;
  S set_;
};

template <class F> struct TMemberFunction;
template <class R, class K, class... A> struct TMemberFunction<R (K::*)(A...)> {
  using Class = K;
  using Event = TEvent<void(A...)>;
};

// The declaration of one property, returned by TClassBuilder::Property for its details.
template <class C, class T> class TPropertyDecl {
public:
  explicit TPropertyDecl(TPropInfo& info) : info_(info) {}
  // The value the writer leaves out (ordinal types only).
  TPropertyDecl& Default(const T& value) {
    static_assert(kIsOrdinal<T>, "only ordinal properties have a default");
    info_.SetDefault(static_cast<int>(ToOrdinal(value)));
    return *this;
  }
  TPropertyDecl& Stored(bool value) {
    info_.SetStored(value);
    return *this;
  }
  // Whether to write the property, asked of the object: a const member of C or of a base,
  // since a class often publishes what its base implements.
  template <auto IsStored> TPropertyDecl& Stored() {
    static_assert(std::is_invocable_r_v<bool, decltype(IsStored), const C*>,
                  "Stored<> takes a const member function of the class or a base, returning bool");
    info_.SetStoredFn([](const TObject* o) { return std::invoke(IsStored, static_cast<const C*>(o)); });
    return *this;
  }

private:
  TPropInfo& info_;
};

template <class C> class TClassBuilder {
public:
  explicit TClassBuilder(TMetaClass& meta) : meta_(meta) {}

  // A property read by getter and written by setter; without a setter it is read-only.
  template <class G, class S = std::nullptr_t> auto Property(const char* name, G getter, S setter = nullptr) {
    using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
    static_assert(!TIsEvent<T>::value, "an event is published with c.Event");
    return Add(name, getter, setter);
  }

  // An event: a property whose type was declared with TAVELO_EVENT. The stream binds it to a
  // published method of the root by name; the writer writes the method's name.
  template <class G, class S> auto Event(const char* name, G getter, S setter) {
    using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
    static_assert(TIsEvent<T>::value, "c.Event takes an event type declared with TAVELO_EVENT");
    return Add(name, getter, setter);
  }

  // A published method: its per-method thunk is the code an event bound to it carries.
  template <auto Member> void Method(const char* name) {
    using Event = typename TMemberFunction<decltype(Member)>::Event;
    meta_.AddMethod(TMethodInfo{name, reinterpret_cast<void*>(&Event::template Thunk<Member, C>),
                                MethodSignatureOf<typename Event::TSignature>()});
  }

  // A published field holding a component reference.
  template <class F> void Field(const char* name, F* C::*member) {
    using Member = F* C::*;
    meta_.AddField(TFieldInfo(
        name, F::StaticClass(), std::make_shared<const Member>(member),
        [](const TObject* instance, const void* m) -> TObject* {
          return static_cast<const C*>(instance)->*(*static_cast<const Member*>(m));
        },
        [](TObject* instance, const void* m, TObject* value) {
          static_cast<C*>(instance)->*(*static_cast<const Member*>(m)) = static_cast<F*>(value);
        }));
  }

private:
  template <class G, class S> auto Add(const char* name, G getter, S setter) {
    using T = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;
    auto access = std::make_unique<TMemberAccessor<C, T, G, S>>(getter, setter);
    TPropInfo& info = meta_.AddProperty(std::make_unique<TPropInfo>(name, TypeInfoOf<T>(), std::move(access)));
    return TPropertyDecl<C, T>(info);
  }

  TMetaClass& meta_;
};

// The virtual constructor of C: components take their owner, collection items their
// collection (the class names its argument's type as TConstructorArg).
template <class C> constexpr TMetaClass::TConstructFn ConstructorOf() {
  if constexpr (requires { typename C::TConstructorArg; }) {
    using Arg = typename C::TConstructorArg;
    if constexpr (std::is_abstract_v<C>) {
      return nullptr;
    } else {
      // A stream or the registry would otherwise meet SAbstractError at run time.
      static_assert(std::is_constructible_v<C, Arg*>,
                    "a creatable class needs a constructor taking its TConstructorArg (the owner or the collection)");
      return [](TObject* argument) -> TObject* { return new C(static_cast<Arg*>(argument)); };
    }
  } else {
    return nullptr;
  }
}

// Whether the base C names in TAVELO_CLASS is its real direct base: the nearest class above
// C that declared itself, found by overload resolution on C*.
template <class C> constexpr bool NamesItsDirectBase() {
  using Nearest = std::remove_pointer_t<decltype(TavNearestClass(static_cast<C*>(nullptr), static_cast<C*>(nullptr)))>;
  return std::is_same_v<Nearest, typename C::inherited>;
}

}  // namespace tavelo

// Defines the record of a class and what it publishes; the body follows, with the builder
// named c and the class named Self.
#define TAVELO_PUBLISH(Cls)                                                                       \
  struct TavPublish_##Cls {                                                                       \
    using Self = Cls;                                                                             \
    static void Body(::tavelo::TClassBuilder<Cls>& c);                                            \
  };                                                                                              \
  TAVELO_CLASS_RECORD(Cls, [](::tavelo::TMetaClass& m) {                                          \
    ::tavelo::TClassBuilder<Cls> c(m);                                                            \
    TavPublish_##Cls::Body(c);                                                                    \
  })                                                                                              \
  void TavPublish_##Cls::Body([[maybe_unused]] ::tavelo::TClassBuilder<Cls>& c)

// Defines the record of a class that publishes nothing of its own.
#define TAVELO_CLASS_IMPL(Cls) TAVELO_CLASS_RECORD(Cls, nullptr)

#define TAVELO_CLASS_RECORD(Cls, PublishFn)                                                       \
  static_assert(::tavelo::NamesItsDirectBase<Cls>(), #Cls ": TAVELO_CLASS names a base that is not its direct base"); \
  ::tavelo::TClass Cls::StaticClass() {                                                           \
    static const ::tavelo::TMetaClass meta(#Cls, Cls::inherited::StaticClass(), __FILE__,         \
                                           ::tavelo::ConstructorOf<Cls>(), PublishFn);            \
    return &meta;                                                                                 \
  }
