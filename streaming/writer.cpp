#include "streaming/writer.h"

#include <algorithm>
#include <cstring>

#include "core/collection.h"
#include "core/identmaps.h"
#include "core/typinfo.h"
#include "streaming/filerhooks.h"
#include "streaming/savedvalue.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TWriter)

namespace {

bool IsOwnedBy(TComponent* component, TComponent* owner) {
  for (TComponent* o = component->Owner(); o != nullptr; o = o->Owner())
    if (o == owner) return true;
  return false;
}

}  // namespace

TWriter::TWriter(TStream& stream, int bufferSize) : TFiler(stream, bufferSize) { InstallFilerHooks(); }

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

void WriteComponentToStream(TStream& stream, TComponent* component) {
  TWriter writer(stream, 4096);
  writer.WriteDescendent(component, nullptr);
  writer.FlushBuffer();
}

}  // namespace tavelo
