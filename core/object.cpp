#include "core/object.h"

namespace tavelo {

TClass TObject::StaticClass() {
  static const TMetaClass meta("TObject", nullptr, "System");
  return &meta;
}

}  // namespace tavelo
