#include "core/persistent.h"

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/filer.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TPersistent)

TPersistent::~TPersistent() {
  if (auto destroyed = FilerHooks().ObjectDestroyed) destroyed(this);
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
