// Published metadata: what a class tells the stream reader and writer about itself.
//
// Each class declares its record with TAVELO_CLASS in its header and defines it, next to
// its code, with TAVELO_PUBLISH:
//
//   TAVELO_PUBLISH(TComponent) {
//     c.Property("Name", &Self::Name, &Self::SetName).Stored(false);
//     c.Property("Tag", &Self::Tag, &Self::SetTag).Default(0);
//   }
//
// The builder `c` also takes events (c.Event, for types declared with TAVELO_EVENT),
// published methods (c.Method<&Self::FormClose>("FormClose")) and published fields
// (c.Field("Memo1", &Self::Memo1)); see core/publish.h. Types are derived from the accessors' C++ types:
// enumerations name their elements once with TAVELO_ENUM, sets are TSet<E>, integer types
// with identifier maps are distinct types declared with TAVELO_INTEGER_TYPE.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <atomic>
#include <span>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "core/events.h"
#include "core/object.h"
#include "core/set.h"
#include "core/variant.h"

namespace tavelo {

enum TTypeKind : std::uint8_t {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64
};
enum TOrdType : std::uint8_t { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType : std::uint8_t { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// The identity of a handler signature: one record per signature, compared by address.
struct TMethodSignature {};
template <class Signature> const TMethodSignature* MethodSignatureOf() {
  static const TMethodSignature identity;
  return &identity;
}

// The metadata of one type that a published property can have.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  // Integer, character, enumeration: storage and range.
  TOrdType OrdType = otSLong;
  long long MinValue = 0;
  long long MaxValue = 0;
  // Enumeration: the element names in order, and the type it is a range of (itself).
  const TTypeInfo* BaseType = nullptr;
  std::vector<String> EnumNames;
  // Float.
  TFloatType FloatType = ftDouble;
  // Short string.
  int MaxLength = 255;
  // Set: the element type.
  const TTypeInfo* CompType = nullptr;
  // Class.
  TClass ClassType = nullptr;
  // Method (an event type): the signature its handlers must have, shared by every event
  // type and published method of that signature.
  const TMethodSignature* MethodSignature = nullptr;
};


// The value of an element name: the element's position for an enumeration (ASCII case
// folded, -1 when absent or empty), the parsed integer for an integer type, and for the
// boolean-like enumerations (negative minimum) False 0, True -1 or an integer.
int GetEnumValue(const TTypeInfo* type, const String& name);
// The name of an element, empty when out of range.
String GetEnumName(const TTypeInfo* type, int value);

inline constexpr int kNoDefault = INT_MIN;  // 0x80000000: the property has no default

// Type-erased access to one property of one class; each kind uses its own pair.
class TPropAccessor {
public:
  virtual ~TPropAccessor() = default;
  virtual bool HasSetter() const = 0;
  virtual long long GetOrd(const TObject* object) const;
  virtual void SetOrd(TObject* object, long long value) const;
  virtual String GetStr(const TObject* object) const;
  virtual void SetStr(TObject* object, const String& value) const;
  virtual WideString GetWideStr(const TObject* object) const;
  virtual void SetWideStr(TObject* object, const WideString& value) const;
  virtual long double GetFloat(const TObject* object) const;
  virtual void SetFloat(TObject* object, long double value) const;
  virtual TMethod GetMethod(const TObject* object) const;
  virtual void SetMethod(TObject* object, const TMethod& value) const;
  virtual TObject* GetObject(const TObject* object) const;
  virtual void SetObject(TObject* object, TObject* value) const;
  virtual TVariant GetVariant(const TObject* object) const;
  virtual void SetVariant(TObject* object, const TVariant& value) const;

protected:
  [[noreturn]] static void WrongKind();
};

// One published property.
class TPropInfo {
public:
  TPropInfo(String name, const TTypeInfo* type, std::unique_ptr<TPropAccessor> access)
      : name_(std::move(name)), type_(type), access_(std::move(access)) {}

  const String& Name() const { return name_; }
  const TTypeInfo* PropType() const { return type_; }
  TTypeKind Kind() const { return type_->Kind; }
  int NameIndex() const { return nameIndex_; }
  int Default() const { return default_; }
  bool HasSetter() const { return access_->HasSetter(); }
  bool IsStored(const TObject* object) const {
    return storedFn_ ? storedFn_(object) : stored_;
  }
  const TPropAccessor& Access() const { return *access_; }

  // Declaration helpers, used while a class publishes.
  void SetDefault(int value) { default_ = value; }
  void SetStored(bool value) { stored_ = value; storedFn_ = nullptr; }
  void SetStoredFn(bool (*fn)(const TObject*)) { storedFn_ = fn; }
  void SetNameIndex(int value) { nameIndex_ = value; }

private:
  String name_;
  const TTypeInfo* type_;
  std::unique_ptr<TPropAccessor> access_;
  int nameIndex_ = 0;
  int default_ = kNoDefault;
  bool stored_ = true;
  bool (*storedFn_)(const TObject*) = nullptr;
};

// One published method: the handler a stream binds to an event by name.
struct TMethodInfo {
  String Name;
  void* Code;
  // The method's signature (MethodSignatureOf); binding refuses an event of another.
  const TMethodSignature* Signature;
};

// One published field holding a component reference.
class TFieldInfo {
public:
  using TGet = TObject* (*)(const TObject* instance, const void* member);
  using TSet = void (*)(TObject* instance, const void* member, TObject* value);
  TFieldInfo(String name, TClass fieldClass, std::shared_ptr<const void> member, TGet get, TSet set)
      : name_(std::move(name)), class_(fieldClass), member_(std::move(member)), get_(get), set_(set) {}
  const String& Name() const { return name_; }
  TClass FieldClass() const { return class_; }
  TObject* Get(const TObject* instance) const { return get_(instance, member_.get()); }
  // Stores value, which must be of the field's class (or null).
  void Set(TObject* instance, TObject* value) const { set_(instance, member_.get(), value); }

private:
  String name_;
  TClass class_;
  std::shared_ptr<const void> member_;
  TGet get_;
  TSet set_;
};

// The record of one class.
class TMetaClass {
public:
  using TConstructFn = TObject* (*)(TObject* argument);
  using TPublishFn = void (*)(TMetaClass& meta);

  // The unit is the name of the source file that defines the record.
  TMetaClass(const char* name, TClass parent, const char* sourceFile, TConstructFn construct, TPublishFn publish);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;
  ~TMetaClass();

  String ClassName() const { return name_; }
  const char* ClassNameData() const { return name_; }
  TClass ClassParent() const { return parent_; }
  const String& UnitName() const { return unitName_; }
  bool InheritsFrom(TClass ancestor) const {
    for (TClass c = this; c != nullptr; c = c->parent_)
      if (c == ancestor) return true;
    return false;
  }
  const TTypeInfo* TypeInfo() const { return &typeInfo_; }

  // The virtual constructor: components take their owner, collection items their
  // collection. Abstract classes and classes without one cannot be constructed.
  bool CanConstruct() const { return construct_ != nullptr; }
  TObject* Construct(TObject* argument) const;

  // First match by name, from this class's own properties up through its bases.
  const TPropInfo* FindProperty(std::string_view name) const;
  // Every published property, inherited ones included, in name-index order.
  std::span<const TPropInfo* const> Properties() const;
  int PropertyCount() const;
  std::span<const std::unique_ptr<TPropInfo>> OwnProperties() const;
  const TMethodInfo* FindMethod(std::string_view name) const;
  const TMethodInfo* FindMethodByCode(const void* code) const;
  const TFieldInfo* FindField(std::string_view name) const;
  // The classes of this class's own published fields.
  std::span<const TClass> FieldClasses() const;

  // Publishing, called by TClassBuilder while the class's record is built.
  TPropInfo& AddProperty(std::unique_ptr<TPropInfo> property);
  void AddMethod(TMethodInfo method);
  void AddField(TFieldInfo field);

private:
  struct TPublished;
  const TPublished& Published() const;

  const char* name_;
  TClass parent_;
  String unitName_;
  TConstructFn construct_;
  TPublishFn publish_;
  TTypeInfo typeInfo_;
  // Built on first use under one lock for every class (a class's record builds its base's
  // first, so the lock is taken again by the same thread).
  mutable std::unique_ptr<TPublished> published_;
  mutable std::atomic<const TPublished*> ready_{nullptr};
  TPublished* building_ = nullptr;
};

// ---- Types derived from C++ types ----

const TTypeInfo* IntegerTypeInfo(int size, bool isSigned);
const TTypeInfo* Int64TypeInfo();
const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* CharTypeInfo();
const TTypeInfo* WideCharTypeInfo();
const TTypeInfo* FloatTypeInfo(TFloatType type);
const TTypeInfo* StringTypeInfo();
const TTypeInfo* WideStringTypeInfo();
const TTypeInfo* VariantTypeInfo();
TTypeInfo MakeEnumTypeInfo(const char* name, const char* elementList);
TTypeInfo MakeIntegerTypeInfo(const char* name, TOrdType ordType, long long minValue, long long maxValue);

template <class T> struct TIsSet : std::false_type {};
template <class E> struct TIsSet<TSet<E>> : std::true_type {};
template <class S> struct TSetElement;
template <class E> struct TSetElement<TSet<E>> { using Type = E; };
// An event type declared with TAVELO_EVENT: it has a name and a signature.
template <class T> struct TIsEvent : std::bool_constant<requires {
  T::kTypeName;
  typename T::TSignature;
}> {};

template <class T> const TTypeInfo* TypeInfoOf();

template <class E> const TTypeInfo* SetTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkSet;
    t.CompType = TypeInfoOf<E>();
    t.Name = "set of " + t.CompType->Name;
    t.OrdType = otULong;
    return t;
  }();
  return &info;
}

// Every event type has its own record, named after it; binding checks its signature.
template <class Event> const TTypeInfo* EventTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t;
    t.Kind = tkMethod;
    t.Name = Event::kTypeName;
    t.MethodSignature = MethodSignatureOf<typename Event::TSignature>();
    return t;
  }();
  return &info;
}

template <class T> const TTypeInfo* TypeInfoOf() {
  if constexpr (std::is_same_v<T, bool>) return BooleanTypeInfo();
  else if constexpr (std::is_same_v<T, char>) return CharTypeInfo();
  else if constexpr (std::is_same_v<T, char16_t>) return WideCharTypeInfo();
  else if constexpr (requires { TavIntegerTypeInfo(static_cast<T*>(nullptr)); })
    return TavIntegerTypeInfo(static_cast<T*>(nullptr));
  else if constexpr (std::is_enum_v<T>) return TavEnumTypeInfo(static_cast<T*>(nullptr));
  else if constexpr (std::is_integral_v<T> && sizeof(T) == 8) return Int64TypeInfo();
  else if constexpr (std::is_integral_v<T>) return IntegerTypeInfo(sizeof(T), std::is_signed_v<T>);
  else if constexpr (std::is_same_v<T, float>) return FloatTypeInfo(ftSingle);
  else if constexpr (std::is_same_v<T, double>) return FloatTypeInfo(ftDouble);
  else if constexpr (std::is_same_v<T, long double>) return FloatTypeInfo(ftExtended);
  else if constexpr (std::is_same_v<T, String>) return StringTypeInfo();
  else if constexpr (std::is_same_v<T, WideString>) return WideStringTypeInfo();
  else if constexpr (std::is_same_v<T, TVariant>) return VariantTypeInfo();
  else if constexpr (TIsSet<T>::value) return SetTypeInfo<typename TSetElement<T>::Type>();
  else if constexpr (TIsEvent<T>::value) return EventTypeInfo<T>();
  else if constexpr (requires { typename T::TSignature; })
    static_assert(sizeof(T) == 0, "declare the event type with TAVELO_EVENT so that it has a name");
  else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>)
    return std::remove_pointer_t<T>::StaticClass()->TypeInfo();
  else static_assert(sizeof(T) == 0, "this type cannot be published");
}

}  // namespace tavelo

namespace tavelo {

// Whether the names given to TAVELO_ENUM are the enumeration's values 0..N-1 in order.
template <class E, std::size_t N> constexpr bool ElementsInOrder(const E (&values)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<long long>(values[i]) != static_cast<long long>(i)) return false;
  return true;
}

}  // namespace tavelo

// Applies Macro(Fixed, x) to each further argument (up to 256 of them).
#define TAVELO_PARENS ()
#define TAVELO_EXPAND(...) TAVELO_EXPAND4(TAVELO_EXPAND4(TAVELO_EXPAND4(TAVELO_EXPAND4(__VA_ARGS__))))
#define TAVELO_EXPAND4(...) TAVELO_EXPAND3(TAVELO_EXPAND3(TAVELO_EXPAND3(TAVELO_EXPAND3(__VA_ARGS__))))
#define TAVELO_EXPAND3(...) TAVELO_EXPAND2(TAVELO_EXPAND2(TAVELO_EXPAND2(TAVELO_EXPAND2(__VA_ARGS__))))
#define TAVELO_EXPAND2(...) TAVELO_EXPAND1(TAVELO_EXPAND1(TAVELO_EXPAND1(TAVELO_EXPAND1(__VA_ARGS__))))
#define TAVELO_EXPAND1(...) __VA_ARGS__
#define TAVELO_FOR_EACH(Macro, Fixed, ...) __VA_OPT__(TAVELO_EXPAND(TAVELO_FOR_EACH_STEP(Macro, Fixed, __VA_ARGS__)))
#define TAVELO_FOR_EACH_STEP(Macro, Fixed, x, ...) \
  Macro(Fixed, x) __VA_OPT__(TAVELO_FOR_EACH_AGAIN TAVELO_PARENS(Macro, Fixed, __VA_ARGS__))
#define TAVELO_FOR_EACH_AGAIN() TAVELO_FOR_EACH_STEP
#define TAVELO_ENUM_ELEMENT(Enum, x) Enum::x,

// Names the elements of an enumeration once, in declaration order. At namespace scope,
// after the enumeration: TAVELO_ENUM(TAlign, alNone, alTop, alBottom, ...). The build fails
// when the names are not the values 0, 1, 2, ... in that order.
#define TAVELO_ENUM(Enum, ...)                                                          \
  static_assert(::tavelo::ElementsInOrder<Enum>({TAVELO_FOR_EACH(TAVELO_ENUM_ELEMENT, Enum, __VA_ARGS__)}), \
                "TAVELO_ENUM(" #Enum ", ...) must name the elements in declaration order");          \
  inline const ::tavelo::TTypeInfo* TavEnumTypeInfo(Enum*) {                            \
    static const ::tavelo::TTypeInfo info = ::tavelo::MakeEnumTypeInfo(#Enum, #__VA_ARGS__); \
    return &info;                                                                       \
  }

// A distinct integer type (an enumeration with a fixed underlying type and no elements),
// whose values may have names in an identifier map:
//   enum TColor : std::int32_t {};   TAVELO_INTEGER_TYPE(TColor)
// and in one source file TAVELO_INTEGER_TYPE_IMPL(TColor, otSLong, min, max, IdentToColor,
// ColorToIdent), which registers the map with the type's record.
#define TAVELO_INTEGER_TYPE(Type) const ::tavelo::TTypeInfo* TavIntegerTypeInfo(Type*);
#define TAVELO_INTEGER_TYPE_IMPL(Type, OrdType, MinValue, MaxValue, IdentToIntFn, IntToIdentFn) \
  const ::tavelo::TTypeInfo* TavIntegerTypeInfo(Type*) {                                        \
    static const ::tavelo::TTypeInfo info =                                                     \
        ::tavelo::MakeIntegerTypeInfo(#Type, ::tavelo::OrdType, MinValue, MaxValue);            \
    static const bool registered =                                                              \
        (::tavelo::RegisterIntegerConsts(&info, IdentToIntFn, IntToIdentFn), true);             \
    (void)registered;                                                                           \
    return &info;                                                                               \
  }

#include "core/publish.h"
