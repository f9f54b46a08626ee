#include "streaming/reader.h"

#include <algorithm>

#include "core/collection.h"
#include "core/exceptions.h"
#include "core/identmaps.h"
#include "core/system.h"
#include "core/typinfo.h"
#include "core/updatebracket.h"
#include "streaming/classregistry.h"
#include "streaming/filerhooks.h"
#include "streaming/fixups.h"
#include "streaming/namespacelock.h"
#include "streaming/savedvalue.h"
#include "streaming/streamconsts.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TReader)

TReader::TReader(TStream& stream, int bufferSize) : TFiler(stream, bufferSize) { InstallFilerHooks(); }

TReader::~TReader() {
  try {
    if (bufPos_ < bufEnd_) stream_.Seek64(bufPos_ - bufEnd_, soCurrent);
  } catch (...) {
    // A stream that cannot move back is left where the reading stopped.
  }
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  ReadSignature();
  sys::TLockGuard space(NameSpaceLock());
  TComponent* result = root;
  bool created = false;
  std::vector<TComponent*> ownLoaded;
  // The loaded list may be this call's own: the reader must not keep it past the call.
  TSavedValue<std::vector<TComponent*>*> savedLoaded(loaded_);
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
        if (method == nullptr || method->Signature != type->MethodSignature) PropValueError();
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

TComponent* ReadComponentFromStream(TStream& stream, TComponent* root) {
  TReader reader(stream, 4096);
  return reader.ReadRootComponent(root);
}

}  // namespace tavelo
