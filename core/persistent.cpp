#include "core/persistent.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "streaming/filer.h"
#include "streaming/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TPersistent)

TPersistent::~TPersistent() {
  if (PendingGlobalFixupCount() > 0) RemoveFixupReferences(nullptr, this);
}

void TPersistent::Assign(TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::DefineProperties(TFiler&) {}

void TPersistent::AssignError(const TPersistent* source) const {
  String sourceName = source ? source->ClassName() : String("nil");
  throw EConvertError(SAssignError, {sourceName, ClassName()});
}

String TPersistent::GetNamePath() const {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + "." + result;
  }
  return result;
}

}  // namespace tavelo
