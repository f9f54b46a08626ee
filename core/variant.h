// TVariant: a value whose type travels with it, as far as component streams need one.
#pragma once

#include <cstdint>

#include "core/sysutils.h"

namespace tavelo {

enum TVarType : std::uint16_t {
  varEmpty = 0x0000, varNull = 0x0001, varSmallint = 0x0002, varInteger = 0x0003, varSingle = 0x0004,
  varDouble = 0x0005, varCurrency = 0x0006, varDate = 0x0007, varOleStr = 0x0008, varBoolean = 0x000B,
  varShortInt = 0x0010, varByte = 0x0011, varWord = 0x0012, varLongWord = 0x0013, varInt64 = 0x0014,
  varString = 0x0100, varArray = 0x2000
};

class TVariant {
public:
  TVariant() = default;
  static TVariant Null() { return TVariant(varNull); }
  static TVariant Integer(TVarType type, long long value);  // the integer types
  static TVariant Float(TVarType type, long double value);  // single, double, currency, date
  static TVariant Boolean(bool value);
  static TVariant Ansi(const String& value);
  static TVariant Wide(const WideString& value);
  // An array of variants: kept only so that writing one can be refused.
  static TVariant Array() { return TVariant(varArray); }

  TVarType Type() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  long long AsInteger() const { return integer_; }
  long double AsFloat() const { return float_; }
  bool AsBoolean() const { return integer_ != 0; }
  const String& AsString() const { return ansi_; }
  const WideString& AsWideString() const { return wide_; }

  bool operator==(const TVariant& other) const = default;

private:
  explicit TVariant(TVarType type) : type_(type) {}
  TVarType type_ = varEmpty;
  long long integer_ = 0;
  long double float_ = 0;
  String ansi_;
  WideString wide_;
};

}  // namespace tavelo
