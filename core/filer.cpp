#include "core/filer.h"

#include "core/persistent.h"
#include "core/typinfo.h"

namespace tavelo {

TAVELO_CLASS_IMPL(TFiler)

TFiler::TFiler(TStream& stream, int bufferSize) : stream_(stream), buffer_(static_cast<std::size_t>(bufferSize)) {}
TFiler::~TFiler() = default;

void TFiler::CallDefineProperties(TPersistent* object, TFiler& filer) { object->DefineProperties(filer); }

TFilerHooks& FilerHooks() {
  static TFilerHooks hooks;
  return hooks;
}

}  // namespace tavelo
