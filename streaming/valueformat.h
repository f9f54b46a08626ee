// The component stream's value format, shared by the reader, the writer and the form
// compiler: the kind byte of each value, the prefix of a component record, the signature and
// the 80-bit extended float.
#pragma once

#include <cstdint>

namespace tavelo {

// The kind byte of a value.
enum TValueType : std::uint8_t {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary, vaSet,
  vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String
};

// The four bytes a stream begins with.
inline constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

// A component record may begin with a prefix byte: this mark in the high four bits, the
// flags below in the low four.
inline constexpr unsigned char kPrefixMark = 0xF0;
inline constexpr int ffInherited = 1;
inline constexpr int ffChildPos = 2;
inline constexpr int ffInline = 4;

// The 80-bit extended float of the stream, as its ten little-endian bytes.
inline constexpr int kExtendedSize = 10;
void DoubleToExtended(long double value, unsigned char bytes[kExtendedSize]);
long double ExtendedToDouble(const unsigned char bytes[kExtendedSize]);

}  // namespace tavelo
