#include "streaming/filer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/collection.h"
#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/system.h"
#include "core/updatebracket.h"
#include "streaming/classregistry.h"
#include "streaming/fixups.h"
#include "streaming/identmaps.h"
#include "streaming/namespacelock.h"
#include "streaming/savedvalue.h"
#include "streaming/streamconsts.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TReader)
TAVELO_CLASS_IMPL(TWriter)

namespace {

bool IsOwnedBy(TComponent* component, TComponent* owner) {
  for (TComponent* o = component->Owner(); o != nullptr; o = o->Owner())
    if (o == owner) return true;
  return false;
}

}  // namespace

// ---- TReader ----

TReader::TReader(TStream& stream, int bufferSize) : TFiler(stream, bufferSize) {}

TReader::~TReader() {
  try {
    if (bufPos_ < bufEnd_) stream_.Seek64(bufPos_ - bufEnd_, soCurrent);
  } catch (...) {
    // A stream that cannot move back is left where the reading stopped.
  }
}

// ---- Reading components ----

TComponent* TReader::ReadRootComponent(TComponent* root) {
  ReadSignature();
  sys::TLockGuard space(NameSpaceLock());
  TComponent* result = root;
  bool created = false;
  std::vector<TComponent*> ownLoaded;
  try {
    int flags = 0, position = 0;
    ReadPrefix(flags, position);
    if (root == nullptr) {
      String className = ReadStr();
      TClass cls = FindClass(className);
      if (!cls->InheritsFrom(TComponent::StaticClass())) throw EClassNotFound(SClassNotFound, {className});
      result = CreateComponent(cls, nullptr);
      created = true;
      result->IncludeState(csLoading);
      result->SetName(ReadStr());
    } else {
      ReadStr();  // the class name is not compared with the root's
      if (root->ComponentState().Contains(csDesigning)) {
        ReadStr();
      } else {
        root->IncludeState(csLoading);
        root->IncludeState(csReading);
        String name = ReadStr();
        String unique = name;
        for (int i = 1; !unique.empty(); ++i) {
          TComponent* other = FindGlobalComponent(unique);
          if (other == nullptr || other == root) break;
          unique = Format("%s_%d", {name, i});
        }
        root->SetName(unique);
      }
    }
    root_ = lookupRoot_ = result;
    finder_ = std::make_unique<TClassFinder>(result->ClassType(), true);
    std::vector<TComponent*>* shared = CurrentLoadedList();
    bool ownList = shared == nullptr;
    loaded_ = ownList ? &ownLoaded : shared;
    if (std::find(loaded_->begin(), loaded_->end(), result) == loaded_->end()) loaded_->push_back(result);
    owner_ = result;
    result->IncludeState(csLoading);
    result->IncludeState(csReading);
    result->ReadState(*this);
    result->ExcludeState(csReading);
    if (ownList)
      for (TComponent* component : ownLoaded) component->Loaded();
    finder_.reset();
    GlobalFixupReferences();
  } catch (...) {
    finder_.reset();
    if (result) result->ExcludeState(csReading);
    // A failed read leaves no pending reference of its root behind.
    RemoveFixupReferences(result, nullptr);
    if (created) delete result;
    throw;
  }
  return result;
}

TClass TReader::FindFieldClass(TComponent* root, const String& className) const {
  for (TClass cls = root->ClassType(); cls != nullptr && cls != TPersistent::StaticClass(); cls = cls->ClassParent())
    for (TClass fieldClass : cls->FieldClasses())
      if (SameName(fieldClass->ClassName(), className)) return fieldClass;
  return nullptr;
}

TClass TReader::FindComponentClass(const String& className) {
  auto lookIn = [&](TComponent* root) -> TClass {
    if (TClass cls = FindFieldClass(root, className)) return cls;
    return finder_ ? finder_->GetClass(className) : GetClass(className);
  };
  TClass cls = root_ ? lookIn(root_) : GetClass(className);
  if (cls == nullptr && lookupRoot_ != nullptr && lookupRoot_ != root_) cls = lookIn(lookupRoot_);
  if (cls == nullptr || !cls->InheritsFrom(TComponent::StaticClass())) throw EClassNotFound(SClassNotFound, {className});
  return cls;
}

TComponent* TReader::ReadComponent() {
  TNesting nesting;
  int flags = 0, position = 0;
  ReadPrefix(flags, position);
  String className = ReadStr();
  String name = ReadStr();
  TComponent* result = nullptr;
  bool created = false;
  try {
    TSavedValue<TComponent*> savedParent(parent_);
    TSavedValue<TComponent*> savedLookupRoot(lookupRoot_);
    if (flags & ffInherited) {
      FindComponentClass(className);
      result = lookupRoot_ ? lookupRoot_->FindComponent(name) : nullptr;
      if (result == nullptr) throw EReadError(SAncestorNotFound, {name});
      TComponent* parent = result->GetParentComponent();
      parent_ = parent ? parent : root_;
    } else {
      TClass cls = FindComponentClass(className);
      result = CreateComponent(cls, owner_);
      created = true;
      if (flags & ffInline) {
        result->IncludeState(csLoading);
        result->SetInline(true);
      }
    }
    result->IncludeState(csLoading);
    if (!(flags & ffInherited)) {
      result->SetParentComponent(parent_);
      result->SetName(name);
    }
    if (result->ComponentState().Contains(csInline)) lookupRoot_ = result;
    result->IncludeState(csReading);
    result->ReadState(*this);
    result->ExcludeState(csReading);
    if (flags & ffChildPos) parent_->SetChildOrder(result, position);
    if (loaded_) {
      bool known = std::find(loaded_->begin(), loaded_->end(), result) != loaded_->end();
      if (!((flags & ffInherited) || result->ComponentState().Contains(csInline)) || !known) loaded_->push_back(result);
    }
  } catch (...) {
    if (created && loaded_) {
      // What it owned goes with it; none of it may stay on the loaded list.
      std::vector<TComponent*> doomed{result};
      for (std::size_t i = 0; i < doomed.size(); ++i)
        for (int j = 0; j < doomed[i]->ComponentCount(); ++j) doomed.push_back(doomed[i]->Components(j));
      loaded_->erase(std::remove_if(loaded_->begin(), loaded_->end(),
                                    [&](TComponent* c) { return std::find(doomed.begin(), doomed.end(), c) != doomed.end(); }),
                     loaded_->end());
    }
    if (created) delete result;
    throw;
  }
  return result;
}

void TReader::ReadData(TComponent* instance) {
  if (fixups_) {
    ReadPropertiesAndChildren(instance);
    return;
  }
  // The outermost data read owns the reading's fixup list until it ends, errors included.
  TSavedValue<std::unique_ptr<std::vector<TPropFixup>>> fixups(fixups_, std::make_unique<std::vector<TPropFixup>>());
  ReadPropertiesAndChildren(instance);
  ResolveLocalFixups(*fixups_);
}

void TReader::ReadPropertiesAndChildren(TComponent* instance) {
  while (!EndOfList()) ReadProperty(instance);
  ReadValue();
  TSavedValue<TComponent*> parent(parent_, instance->GetChildParent());
  TComponent* childOwner = instance->GetChildOwner();
  TSavedValue<TComponent*> owner(owner_, childOwner ? childOwner : root_);
  while (!EndOfList()) ReadComponent();
  ReadValue();
}

void TReader::ReadProperty(TPersistent* instance) {
  String path = ReadStr();
  try {
    TPersistent* object = instance;
    std::size_t start = 0;
    for (std::size_t dot = path.find('.'); dot != String::npos; dot = path.find('.', start)) {
      String segment = path.substr(start, dot - start);
      start = dot + 1;
      const TPropInfo* prop = object->ClassType()->FindProperty(segment);
      if (prop == nullptr) {
        SkipValue();
        throw EReadError(SUnknownProperty, {segment});
      }
      TPersistent* next = prop->Kind() == tkClass ? DynamicCast<TPersistent>(prop->Access().GetObject(object)) : nullptr;
      if (next == nullptr) {
        SkipValue();
        throw EReadError(SInvalidPropertyPath);
      }
      object = next;
    }
    propName_ = path.substr(start);
    if (const TPropInfo* prop = object->ClassType()->FindProperty(propName_)) {
      ReadPropValue(object, prop);
    } else {
      CallDefineProperties(object, *this);
      if (!propName_.empty()) {
        String unknown = propName_;
        propName_.clear();
        SkipValue();
        throw EReadError(SUnknownProperty, {unknown});
      }
    }
  } catch (const Exception& e) {
    propName_.clear();
    auto* component = DynamicCast<TComponent>(instance);
    String name = component && !component->Name().empty() ? component->Name() : instance->ClassName();
    throw EReadError(SPropertyException, {name, ".", path, e.Message()});
  }
}

void TReader::ReadPropValue(TPersistent* object, const TPropInfo* prop) {
  const TPropAccessor& access = prop->Access();
  if (!prop->HasSetter()) {
    auto* sub = prop->Kind() == tkClass ? DynamicCast<TComponent>(access.GetObject(object)) : nullptr;
    if (sub == nullptr || !sub->ComponentStyle().Contains(csSubComponent)) throw EReadError(SReadOnlyProperty);
  }
  const TTypeInfo* type = prop->PropType();
  switch (type->Kind) {
    case tkInteger:
      if (NextValue() == vaIdent) {
        String ident = ReadIdent();
        TIdentToInt convert = FindIdentToInt(type);
        int value = 0;
        if (convert == nullptr || !convert(ident, value)) PropValueError();
        access.SetOrd(object, value);
      } else {
        access.SetOrd(object, ReadInteger());
      }
      break;
    case tkChar: access.SetOrd(object, static_cast<unsigned char>(ReadChar())); break;
    case tkWChar: {
      WideString text = ReadWideString();
      if (text.size() != 1) PropValueError();
      access.SetOrd(object, text[0]);
      break;
    }
    case tkEnumeration: {
      int value = GetEnumValue(type, ReadIdent());
      // A name that is no element would store -1; refused instead.
      if (value < 0 && type->MinValue >= 0) PropValueError();
      access.SetOrd(object, value);
      break;
    }
    case tkFloat: access.SetFloat(object, ReadFloat()); break;
    case tkString: case tkLString: access.SetStr(object, ReadString()); break;
    case tkWString: access.SetWideStr(object, ReadWideString()); break;
    case tkSet: access.SetOrd(object, ReadSet(type)); break;
    case tkInt64: access.SetOrd(object, ReadInt64()); break;
    case tkClass:
      switch (NextValue()) {
        case vaNil:
          ReadValue();
          access.SetObject(object, nullptr);
          break;
        case vaCollection:
          if (auto* collection = DynamicCast<TCollection>(access.GetObject(object))) {
            ReadValue();
            ReadCollection(collection);
          } else {
            SkipValue();
            PropValueError();
          }
          break;
        default: {
          String name = ReadIdent();
          if (!prop->HasSetter()) PropValueError();
          if (fixups_) fixups_->push_back({object, root_, prop, String(), name});
          else access.SetObject(object, FindNestedComponent(root_, name));
          break;
        }
      }
      break;
    case tkVariant: access.SetVariant(object, ReadVariant()); break;
    case tkMethod:
      if (NextValue() == vaNil) {
        ReadValue();
        access.SetMethod(object, TMethod{});
      } else {
        String name = ReadIdent();
        const TMethodInfo* method = root_ ? root_->ClassType()->FindMethod(name) : nullptr;
        // A handler of another signature would be called with the wrong arguments.
        if (method == nullptr || method->Signature != type) PropValueError();
        access.SetMethod(object, TMethod{method->Code, root_});
      }
      break;
    default:
      SkipValue();
      break;
  }
}

void TReader::ReadCollection(TCollection* collection) {
  TNesting nesting;
  TUpdateBracket<TCollection> update(*collection);
  if (!EndOfList()) collection->Clear();
  while (!EndOfList()) {
    TValueType next = NextValue();
    if (next == vaInt8 || next == vaInt16 || next == vaInt32) ReadInteger();
    TCollectionItem* item = collection->Add();
    ReadListBegin();
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

void TReader::DefineProperty(const String& name, const TReaderProc& read, const TWriterProc&, bool) {
  if (read && !propName_.empty() && SameName(name, propName_)) {
    read(*this);
    propName_.clear();
  }
}

void TReader::DefineBinaryProperty(const String& name, const TStreamProc& read, const TStreamProc&, bool) {
  if (!read || propName_.empty() || !SameName(name, propName_)) return;
  if (NextValue() != vaBinary) {
    SkipValue();
    PropValueError();
  }
  ReadValue();
  std::string bytes = ReadBlock();
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  data.SetPosition(0);
  read(data);
  propName_.clear();
}

// ---- TWriter ----

TWriter::TWriter(TStream& stream, int bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // Whoever needs to know that the bytes arrived calls FlushBuffer before this.
  }
}

void TWriter::WritePropName(const String& name) { WriteStr(propPath_ + name); }

void TWriter::DefineProperty(const String& name, const TReaderProc&, const TWriterProc& write, bool hasData) {
  if (hasData && write) {
    WritePropName(name);
    write(*this);
  }
}

void TWriter::DefineBinaryProperty(const String& name, const TStreamProc&, const TStreamProc& write, bool hasData) {
  if (!hasData || !write) return;
  WritePropName(name);
  TMemoryStream data;
  write(data);
  WriteBinary(data.Memory(), static_cast<std::int32_t>(data.Size()));
}

String TWriter::ReferenceName(TComponent* component) const {
  TComponent* owner = component->Owner();
  if (owner == lookupRoot_) return component->Name();
  if (component == lookupRoot_) return "Owner";
  if (owner != nullptr && !owner->Name().empty() && !component->Name().empty()) {
    if (IsOwnedBy(owner, lookupRoot_)) return ReferenceName(owner) + "." + component->Name();
    return owner->Name() + "." + component->Name();
  }
  if (!component->Name().empty()) return component->Name() + ".Owner";
  return String();
}

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
  rootAncestor_ = ancestor;
  ancestor_ = ancestor;
  root_ = root;
  lookupRoot_ = root;
  WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  TSavedValue<TPersistent*> savedAncestor(ancestor_);
  TSavedValue<TComponent*> savedRootAncestor(rootAncestor_);
  try {
    component->IncludeState(csWriting);
    if (ancestorList_) {
      ancestor_ = nullptr;
      for (TComponent* candidate : *ancestorList_)
        if (SameName(candidate->Name(), component->Name())) {
          ancestor_ = candidate;
          break;
        }
    }
    component->WriteState(*this);
    component->ExcludeState(csWriting);
  } catch (...) {
    component->ExcludeState(csWriting);
    throw;
  }
}

void TWriter::WriteData(TComponent* instance) {
  String className = instance->ClassName();
  MakeRoom(static_cast<int>(std::min<std::size_t>(className.size(), 255) +
                            std::min<std::size_t>(instance->Name().size(), 255) + 9));
  std::int64_t recordStart = Position();
  auto* ancestor = DynamicCast<TComponent>(ancestor_);
  bool isInline = instance->ComponentState().Contains(csInline);
  int flags = 0;
  if (isInline) {
    flags = (ancestor && instance->ComponentState().Contains(csAncestor) && ancestorList_) ? ffInherited : ffInline;
  } else if (ancestor) {
    flags = ffInherited;
  }
  bool inList = ancestorList_ && ancestorPos_ < static_cast<int>(ancestorList_->size());
  if (inList && (!ancestor || (*ancestorList_)[static_cast<std::size_t>(ancestorPos_)] != ancestor)) flags |= ffChildPos;
  WritePrefix(flags, childPos_);
  WriteStr(className);
  WriteStr(instance->Name());
  std::int64_t headerEnd = Position();
  if (inList) {
    if (ancestor) ++ancestorPos_;
    ++childPos_;
  }
  WriteProperties(instance);
  WriteListEnd();

  if (!ignoreChildren_) WriteChildren(instance, ancestor, isInline);
  WriteListEnd();
  // An inherited component that changed nothing leaves no record.
  if (instance != root_ && flags == ffInherited && Position() == headerEnd + 2) SetPosition(recordStart);
}

void TWriter::WriteChildren(TComponent* instance, TComponent* ancestor, bool isInline) {
  TSavedValue<std::vector<TComponent*>*> savedList(ancestorList_, nullptr);
  TSavedValue<int> savedPos(ancestorPos_, 0);
  TSavedValue<int> savedChildPos(childPos_, 0);
  TSavedValue<TComponent*> savedRoot(root_);
  TSavedValue<TComponent*> savedRootAncestor(rootAncestor_);
  std::vector<TComponent*> ancestorChildren;
  if (ancestor) {
    if (ancestor->ComponentState().Contains(csInline)) rootAncestor_ = ancestor;
    ancestor->GetChildren([&](TComponent* child) { ancestorChildren.push_back(child); }, rootAncestor_);
    ancestorList_ = &ancestorChildren;
  }
  if (isInline) root_ = instance;
  instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
}

bool TWriter::AncestorValid() const {
  return ancestor_ != nullptr && rootAncestor_ != nullptr && root_ != nullptr &&
         root_->InheritsFrom(rootAncestor_->ClassType());
}

void TWriter::WriteProperties(TPersistent* instance) {
  for (const TPropInfo* prop : instance->ClassType()->Properties())
    if (prop->IsStored(instance)) WriteProperty(instance, prop);
  CallDefineProperties(instance, *this);
}

namespace {

// Whether two collections would be written as the same bytes.
bool CollectionsEqual(TCollection* a, TCollection* b, TComponent* root) {
  if (a->ClassType() != b->ClassType() || a->Count() != b->Count()) return false;
  TMemoryStream first, second;
  {
    TWriter writer(first, 1024);
    writer.SetRoot(root);
    writer.WriteCollection(a);
    writer.FlushBuffer();
  }
  {
    TWriter writer(second, 1024);
    writer.SetRoot(root);
    writer.WriteCollection(b);
    writer.FlushBuffer();
  }
  return first.Size() == second.Size() &&
         std::memcmp(first.Memory(), second.Memory(), static_cast<std::size_t>(first.Size())) == 0;
}

}  // namespace

void TWriter::WriteCollection(TCollection* collection) {
  WriteValue(vaCollection);
  if (collection) {
    TSavedValue<String> savedPath(propPath_, String());
    for (int i = 0; i < collection->Count(); ++i) {
      WriteListBegin();
      WriteProperties(collection->Items(i));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo* prop) {
  const TPropAccessor& access = prop->Access();
  const TTypeInfo* type = prop->PropType();
  if (!prop->HasSetter()) {
    auto* sub = type->Kind == tkClass ? DynamicCast<TComponent>(access.GetObject(instance)) : nullptr;
    if (sub == nullptr || !sub->ComponentStyle().Contains(csSubComponent)) return;
  }
  // The ancestor's value can be read only when the ancestor has this very property.
  TPersistent* ancestor = AncestorValid() && ancestor_->ClassType()->FindProperty(prop->Name()) == prop ? ancestor_ : nullptr;
  switch (type->Kind) {
    case tkInteger: case tkChar: case tkWChar: case tkEnumeration: case tkSet: {
      long long value = access.GetOrd(instance);
      bool isDefault = ancestor ? value == access.GetOrd(ancestor)
                                : (prop->Default() != kNoDefault && value == prop->Default());
      if (isDefault) return;
      WritePropName(prop->Name());
      if (type->Kind == tkInteger) {
        TIntToIdent toIdent = FindIntToIdent(type);
        String ident;
        if (toIdent && toIdent(static_cast<int>(value), ident)) WriteIdent(ident);
        else WriteInteger(value);
      } else if (type->Kind == tkChar) {
        WriteChar(static_cast<char>(value));
      } else if (type->Kind == tkWChar) {
        WriteWideString(WideString(1, static_cast<char16_t>(value)));
      } else if (type->Kind == tkEnumeration) {
        WriteIdent(GetEnumName(type, static_cast<int>(value)));
      } else {
        std::vector<String> names;
        for (int i = 0; i < 32; ++i)
          if (value & (1LL << i))
            names.push_back(type->CompType->Kind == tkEnumeration ? GetEnumName(type->CompType, i) : IntToStr(i));
        WriteSet(names);
      }
      break;
    }
    case tkInt64: {
      long long value = access.GetOrd(instance);
      if (value == (ancestor ? access.GetOrd(ancestor) : 0)) return;
      WritePropName(prop->Name());
      WriteInteger(value);
      break;
    }
    case tkFloat: {
      long double value = access.GetFloat(instance);
      if (value == (ancestor ? access.GetFloat(ancestor) : 0)) return;
      WritePropName(prop->Name());
      WriteFloat(value);
      break;
    }
    case tkString: case tkLString: case tkWString: {
      WideString value = access.GetWideStr(instance);
      if (value == (ancestor ? access.GetWideStr(ancestor) : WideString())) return;
      WritePropName(prop->Name());
      WriteWideString(value);
      break;
    }
    case tkClass: {
      TObject* value = access.GetObject(instance);
      TObject* ancestorValue = ancestor ? access.GetObject(ancestor) : nullptr;
      if (value == nullptr) {
        if (ancestorValue != nullptr) {
          WritePropName(prop->Name());
          WriteValue(vaNil);
        }
        return;
      }
      auto* component = DynamicCast<TComponent>(value);
      auto* persistent = DynamicCast<TPersistent>(value);
      if (persistent && (!component || component->ComponentStyle().Contains(csSubComponent))) {
        {
          TSavedValue<String> savedPath(propPath_, propPath_ + prop->Name() + ".");
          TSavedValue<TPersistent*> savedAncestor(ancestor_, ancestor ? DynamicCast<TPersistent>(ancestorValue) : nullptr);
          WriteProperties(persistent);
        }
        if (auto* collection = DynamicCast<TCollection>(persistent)) {
          auto* ancestorCollection = DynamicCast<TCollection>(ancestorValue);
          if (!ancestorCollection || !CollectionsEqual(collection, ancestorCollection, root_)) {
            WritePropName(prop->Name());
            WriteCollection(collection);
          }
        }
      } else if (component) {
        auto* ancestorComponent = DynamicCast<TComponent>(ancestorValue);
        bool same = ancestorComponent == component ||
                    (ancestorComponent && component->Owner() == root_ && ancestorComponent->Owner() == rootAncestor_ &&
                     SameName(component->Name(), ancestorComponent->Name()));
        if (same) return;
        String name = ReferenceName(component);
        if (name.empty()) return;
        WritePropName(prop->Name());
        WriteIdent(name);
      }
      break;
    }
    case tkVariant: {
      TVariant value = access.GetVariant(instance);
      if (value == (ancestor ? access.GetVariant(ancestor) : TVariant())) return;
      WritePropName(prop->Name());
      WriteVariant(value);
      break;
    }
    case tkMethod: {
      TMethod value = access.GetMethod(instance);
      if (ancestor && value.Code == access.GetMethod(ancestor).Code) return;
      if (value.Code == nullptr) {
        if (ancestor) {
          WritePropName(prop->Name());
          WriteValue(vaNil);
        }
        return;
      }
      const TMethodInfo* method = lookupRoot_ ? lookupRoot_->ClassType()->FindMethodByCode(value.Code) : nullptr;
      if (method == nullptr) return;
      WritePropName(prop->Name());
      WriteIdent(method->Name);
      break;
    }
    default:
      break;
  }
}

// ---- Streams of components ----

TComponent* ReadComponentFromStream(TStream& stream, TComponent* root) {
  TReader reader(stream, 4096);
  return reader.ReadRootComponent(root);
}

void WriteComponentToStream(TStream& stream, TComponent* component) {
  TWriter writer(stream, 4096);
  writer.WriteDescendent(component, nullptr);
  writer.FlushBuffer();
}

}  // namespace tavelo
