#include "core/typinfo.h"

#include <climits>
#include <cstring>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/system.h"

namespace tavelo {

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

struct TFoldHash {
  std::size_t operator()(std::string_view s) const {
    std::size_t h = 1469598103934665603ULL & SIZE_MAX;
    for (char c : s) h = (h ^ static_cast<unsigned char>(Fold(c))) * (1099511628211ULL & SIZE_MAX);
    return h;
  }
};

struct TFoldEqual {
  bool operator()(std::string_view a, std::string_view b) const { return SameName(a.data(), a.size(), b.data(), b.size()); }
};

bool SameView(std::string_view a, const String& b) { return SameName(a.data(), a.size(), b.data(), b.size()); }

}  // namespace

struct TMetaClass::TPublished {
  std::vector<std::unique_ptr<TPropInfo>> own;
  std::vector<TMethodInfo> methods;
  std::vector<TFieldInfo> fields;
  std::vector<TClass> fieldClasses;
  // Every property by name index, and by name (most derived declaration first).
  std::vector<const TPropInfo*> all;
  std::unordered_map<std::string_view, const TPropInfo*, TFoldHash, TFoldEqual> byName;
};

namespace {

// "core/component.cpp" gives "component".
String UnitOfFile(const char* file) {
  const char* start = file;
  for (const char* p = file; *p; ++p)
    if (*p == '/' || *p == '\\') start = p + 1;
  const char* dot = std::strrchr(start, '.');
  return String(start, dot ? static_cast<std::size_t>(dot - start) : std::strlen(start));
}

}  // namespace

TMetaClass::TMetaClass(const char* name, TClass parent, const char* sourceFile, TConstructFn construct,
                       TPublishFn publish)
    : name_(name), parent_(parent), unitName_(UnitOfFile(sourceFile)), construct_(construct), publish_(publish) {
  typeInfo_.Kind = tkClass;
  typeInfo_.Name = name;
  typeInfo_.ClassType = this;
}

TMetaClass::~TMetaClass() = default;

TObject* TMetaClass::Construct(TObject* argument) const {
  if (!construct_) throw EAbstractError(SAbstractError);
  return construct_(argument);
}

const TMetaClass::TPublished& TMetaClass::Published() const {
  if (const TPublished* ready = ready_.load(std::memory_order_acquire)) return *ready;
  static sys::TCriticalSection lock;
  sys::TLockGuard hold(lock);
  if (!published_) {
    auto published = std::make_unique<TPublished>();
    if (parent_) {
      const TPublished& base = parent_->Published();
      published->all = base.all;
      published->byName = base.byName;
    }
    if (publish_) {
      auto* self = const_cast<TMetaClass*>(this);
      self->building_ = published.get();
      publish_(*self);
      self->building_ = nullptr;
    }
    published_ = std::move(published);
    ready_.store(published_.get(), std::memory_order_release);
  }
  return *published_;
}

TPropInfo& TMetaClass::AddProperty(std::unique_ptr<TPropInfo> property) {
  TPublished& p = *building_;
  TPropInfo& info = *property;
  auto found = p.byName.find(std::string_view(info.Name()));
  if (found != p.byName.end()) {
    // A redeclared property keeps its base's place in the complete list.
    info.SetNameIndex(found->second->NameIndex());
    p.all[static_cast<std::size_t>(info.NameIndex())] = &info;
  } else {
    info.SetNameIndex(static_cast<int>(p.all.size()));
    p.all.push_back(&info);
  }
  p.byName[std::string_view(info.Name())] = &info;
  p.own.push_back(std::move(property));
  return info;
}

void TMetaClass::AddMethod(TMethodInfo method) { building_->methods.push_back(std::move(method)); }

void TMetaClass::AddField(TFieldInfo field) {
  TPublished& p = *building_;
  bool known = false;
  for (TClass c : p.fieldClasses) known = known || c == field.FieldClass();
  if (!known) p.fieldClasses.push_back(field.FieldClass());
  p.fields.push_back(std::move(field));
}

const TPropInfo* TMetaClass::FindProperty(std::string_view name) const {
  const TPublished& p = Published();
  auto found = p.byName.find(name);
  return found == p.byName.end() ? nullptr : found->second;
}

std::span<const TPropInfo* const> TMetaClass::Properties() const { return Published().all; }
int TMetaClass::PropertyCount() const { return static_cast<int>(Published().all.size()); }

std::span<const std::unique_ptr<TPropInfo>> TMetaClass::OwnProperties() const { return Published().own; }

const TMethodInfo* TMetaClass::FindMethod(std::string_view name) const {
  for (TClass c = this; c != nullptr; c = c->parent_)
    for (const TMethodInfo& m : c->Published().methods)
      if (SameView(name, m.Name)) return &m;
  return nullptr;
}

const TMethodInfo* TMetaClass::FindMethodByCode(const void* code) const {
  if (code == nullptr) return nullptr;
  for (TClass c = this; c != nullptr; c = c->parent_)
    for (const TMethodInfo& m : c->Published().methods)
      if (m.Code == code) return &m;
  return nullptr;
}

const TFieldInfo* TMetaClass::FindField(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TClass c = this; c != nullptr; c = c->parent_)
    for (const TFieldInfo& f : c->Published().fields)
      if (SameView(name, f.Name())) return &f;
  return nullptr;
}

std::span<const TClass> TMetaClass::FieldClasses() const { return Published().fieldClasses; }

// ---- TObject ----

TClass TObject::StaticClass() {
  static const TMetaClass meta("TObject", nullptr, "System", nullptr, nullptr);
  return &meta;
}

String TObject::ClassName() const { return ClassType()->ClassName(); }
bool TObject::InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }

// ---- Accessors ----

void TPropAccessor::WrongKind() { throw EInvalidCast(SInvalidCast); }
long long TPropAccessor::GetOrd(const TObject*) const { WrongKind(); }
void TPropAccessor::SetOrd(TObject*, long long) const { WrongKind(); }
String TPropAccessor::GetStr(const TObject*) const { WrongKind(); }
void TPropAccessor::SetStr(TObject*, const String&) const { WrongKind(); }
WideString TPropAccessor::GetWideStr(const TObject*) const { WrongKind(); }
void TPropAccessor::SetWideStr(TObject*, const WideString&) const { WrongKind(); }
long double TPropAccessor::GetFloat(const TObject*) const { WrongKind(); }
void TPropAccessor::SetFloat(TObject*, long double) const { WrongKind(); }
TMethod TPropAccessor::GetMethod(const TObject*) const { WrongKind(); }
void TPropAccessor::SetMethod(TObject*, const TMethod&) const { WrongKind(); }
TObject* TPropAccessor::GetObject(const TObject*) const { WrongKind(); }
void TPropAccessor::SetObject(TObject*, TObject*) const { WrongKind(); }
TVariant TPropAccessor::GetVariant(const TObject*) const { WrongKind(); }
void TPropAccessor::SetVariant(TObject*, const TVariant&) const { WrongKind(); }

// ---- Types ----

TTypeInfo MakeIntegerTypeInfo(const char* name, TOrdType ordType, long long minValue, long long maxValue) {
  TTypeInfo t;
  t.Kind = tkInteger;
  t.Name = name;
  t.OrdType = ordType;
  t.MinValue = minValue;
  t.MaxValue = maxValue;
  return t;
}

TTypeInfo MakeEnumTypeInfo(const char* name, const char* elementList) {
  TTypeInfo t;
  t.Kind = tkEnumeration;
  t.Name = name;
  const char* p = elementList;
  while (*p) {
    while (*p == ' ' || *p == ',' || *p == '\n' || *p == '\t') ++p;
    const char* start = p;
    while (*p && *p != ',' && *p != ' ' && *p != '\n' && *p != '\t') ++p;
    if (p > start) t.EnumNames.emplace_back(start, static_cast<std::size_t>(p - start));
  }
  t.MinValue = 0;
  t.MaxValue = static_cast<long long>(t.EnumNames.size()) - 1;
  t.OrdType = t.EnumNames.size() <= 256 ? otUByte : otUWord;
  return t;
}

const TTypeInfo* IntegerTypeInfo(int size, bool isSigned) {
  static const TTypeInfo types[] = {
      MakeIntegerTypeInfo("ShortInt", otSByte, -128, 127),
      MakeIntegerTypeInfo("Byte", otUByte, 0, 255),
      MakeIntegerTypeInfo("SmallInt", otSWord, -32768, 32767),
      MakeIntegerTypeInfo("Word", otUWord, 0, 65535),
      MakeIntegerTypeInfo("Integer", otSLong, INT_MIN, INT_MAX),
      MakeIntegerTypeInfo("Cardinal", otULong, 0, UINT_MAX)};
  int row = size == 1 ? 0 : size == 2 ? 2 : 4;
  return &types[row + (isSigned ? 0 : 1)];
}

const TTypeInfo* Int64TypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = MakeIntegerTypeInfo("Int64", otSLong, LLONG_MIN, LLONG_MAX);
    t.Kind = tkInt64;
    return t;
  }();
  return &info;
}

const TTypeInfo* BooleanTypeInfo() {
  static const TTypeInfo info = MakeEnumTypeInfo("Boolean", "False, True");
  return &info;
}

const TTypeInfo* CharTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = MakeIntegerTypeInfo("Char", otUByte, 0, 255);
    t.Kind = tkChar;
    return t;
  }();
  return &info;
}

const TTypeInfo* WideCharTypeInfo() {
  static const TTypeInfo info = [] {
    TTypeInfo t = MakeIntegerTypeInfo("WideChar", otUWord, 0, 65535);
    t.Kind = tkWChar;
    return t;
  }();
  return &info;
}

namespace {

TTypeInfo MakeFloatTypeInfo(const char* name, TFloatType floatType) {
  TTypeInfo t;
  t.Kind = tkFloat;
  t.Name = name;
  t.FloatType = floatType;
  return t;
}

}  // namespace

const TTypeInfo* FloatTypeInfo(TFloatType type) {
  static const TTypeInfo types[] = {MakeFloatTypeInfo("Single", ftSingle), MakeFloatTypeInfo("Double", ftDouble),
                                    MakeFloatTypeInfo("Extended", ftExtended), MakeFloatTypeInfo("Comp", ftComp),
                                    MakeFloatTypeInfo("Currency", ftCurr)};
  return &types[type];
}

const TTypeInfo* StringTypeInfo() {
  static const TTypeInfo info = [] { TTypeInfo t; t.Kind = tkLString; t.Name = "String"; return t; }();
  return &info;
}

const TTypeInfo* WideStringTypeInfo() {
  static const TTypeInfo info = [] { TTypeInfo t; t.Kind = tkWString; t.Name = "WideString"; return t; }();
  return &info;
}

const TTypeInfo* VariantTypeInfo() {
  static const TTypeInfo info = [] { TTypeInfo t; t.Kind = tkVariant; t.Name = "Variant"; return t; }();
  return &info;
}

int GetEnumValue(const TTypeInfo* type, const String& name) {
  if (type->Kind == tkInteger) return StrToInt(name);
  if (type->MinValue < 0) {
    if (SameName(name, "False")) return 0;
    if (SameName(name, "True")) return -1;
    return StrToInt(name);
  }
  for (std::size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameName(type->EnumNames[i], name)) return static_cast<int>(i);
  return -1;
}

String GetEnumName(const TTypeInfo* type, int value) {
  if (value < 0 || static_cast<std::size_t>(value) >= type->EnumNames.size()) return String();
  return type->EnumNames[static_cast<std::size_t>(value)];
}

}  // namespace tavelo
