#include "core/variant.h"

namespace tavelo {

TVariant TVariant::Integer(TVarType type, long long value) {
  TVariant v(type);
  v.integer_ = value;
  return v;
}

TVariant TVariant::Float(TVarType type, long double value) {
  TVariant v(type);
  v.float_ = value;
  return v;
}

TVariant TVariant::Boolean(bool value) {
  TVariant v(varBoolean);
  v.integer_ = value ? 1 : 0;
  return v;
}

TVariant TVariant::Ansi(const String& value) {
  TVariant v(varString);
  v.ansi_ = value;
  return v;
}

TVariant TVariant::Wide(const WideString& value) {
  TVariant v(varOleStr);
  v.wide_ = value;
  return v;
}

}  // namespace tavelo
