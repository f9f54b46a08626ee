// Every kind of value, its read beside its write: the encoding a writer chooses for a value
// is one that the reads accept back. The form compiler and dumper use these same reads and
// writes.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/exceptions.h"
#include "core/rtlconsts.h"
#include "core/typinfo.h"
#include "streaming/namespacelock.h"
#include "streaming/reader.h"
#include "streaming/streamconsts.h"
#include "streaming/writer.h"

namespace tavelo {

namespace {

void WriteLittleEndian(TWriter& writer, std::uint64_t value, int size) {
  unsigned char bytes[8];
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
  writer.Write(bytes, size);
}

std::uint64_t ReadLittleEndian(TReader& reader, int size) {
  unsigned char bytes[8];
  reader.Read(bytes, size);
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

void TReader::PropValueError() { throw EReadError(SInvalidPropertyValue); }

// ---- Kind bytes, signature and prefix ----

TValueType TReader::ReadValue() {
  unsigned char kind;
  Read(&kind, 1);
  return static_cast<TValueType>(kind);
}

TValueType TReader::NextValue() {
  TValueType kind = ReadValue();
  --bufPos_;  // the byte just read is still in the buffer
  return kind;
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TWriter::WriteValue(TValueType value) {
  auto kind = static_cast<unsigned char>(value);
  Write(&kind, 1);
}

void TReader::ReadSignature() {
  char signature[sizeof kSignature];
  Read(signature, sizeof signature);
  if (std::memcmp(signature, kSignature, sizeof kSignature) != 0) throw EReadError(SInvalidImage);
}

void TWriter::WriteSignature() { Write(kSignature, sizeof kSignature); }

void TReader::ReadPrefix(int& flags, int& childPosition) {
  flags = 0;
  if (static_cast<unsigned char>(NextValue()) >= kPrefixMark) {
    flags = static_cast<unsigned char>(ReadValue()) & 0x0F;
    if (flags & ffChildPos) childPosition = ReadInteger();
  }
}

void TWriter::WritePrefix(int flags, int childPosition) {
  if (flags == 0) return;
  auto prefix = static_cast<unsigned char>(kPrefixMark | flags);
  Write(&prefix, 1);
  if (flags & ffChildPos) WriteInteger(childPosition);
}

// ---- Short strings and length-prefixed blocks ----

String TReader::ReadStr() {
  unsigned char length;
  Read(&length, 1);
  String text(length, '\0');
  if (length) Read(text.data(), length);
  return text;
}

void TWriter::WriteStr(const String& text) {
  auto length = static_cast<unsigned char>(std::min<std::size_t>(text.size(), 255));
  Write(&length, 1);
  Write(text.data(), length);
}

std::int32_t TReader::ReadLength() {
  auto length = static_cast<std::int32_t>(ReadLittleEndian(*this, 4));
  // A length longer than what is left is a lie; nothing that size is ever allocated.
  if (length < 0 || length > Remaining()) throw EReadError(SReadError);
  return length;
}

std::string TReader::ReadBlock() {
  std::int32_t length = ReadLength();
  std::string bytes(static_cast<std::size_t>(length), '\0');
  Read(bytes.data(), length);
  return bytes;
}

void TWriter::WriteBlock(TValueType kind, const void* data, std::int32_t size) {
  WriteValue(kind);
  WriteLittleEndian(*this, static_cast<std::uint32_t>(size), 4);
  Write(data, size);
}

// ---- Integers and booleans ----

int TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: return static_cast<std::int8_t>(ReadLittleEndian(*this, 1));
    case vaInt16: return static_cast<std::int16_t>(ReadLittleEndian(*this, 2));
    case vaInt32: return static_cast<std::int32_t>(ReadLittleEndian(*this, 4));
    default: PropValueError();
  }
}

std::int64_t TReader::ReadInt64() {
  if (NextValue() == vaInt64) {
    ReadValue();
    return static_cast<std::int64_t>(ReadLittleEndian(*this, 8));
  }
  return ReadInteger();
}

void TWriter::WriteInteger(std::int64_t value) {
  if (value >= -128 && value <= 127) {
    WriteValue(vaInt8);
    WriteLittleEndian(*this, static_cast<std::uint64_t>(value), 1);
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(vaInt16);
    WriteLittleEndian(*this, static_cast<std::uint64_t>(value), 2);
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteValue(vaInt32);
    WriteLittleEndian(*this, static_cast<std::uint64_t>(value), 4);
  } else {
    WriteValue(vaInt64);
    WriteLittleEndian(*this, static_cast<std::uint64_t>(value), 8);
  }
}

bool TReader::ReadBoolean() { return ReadValue() == vaTrue; }

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

// ---- Strings and characters ----

String TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: return ReadStr();
    case vaLString: return ReadBlock();
    case vaWString:
    case vaUTF8String:
      --bufPos_;
      return WideToAnsi(ReadWideString());
    default: PropValueError();
  }
}

WideString TReader::ReadWideString() {
  switch (ReadValue()) {
    case vaWString: {
      std::int32_t count = static_cast<std::int32_t>(ReadLittleEndian(*this, 4));
      if (count < 0 || count > Remaining() / 2) throw EReadError(SReadError);
      std::string bytes(static_cast<std::size_t>(count) * 2, '\0');
      Read(bytes.data(), count * 2);
      WideString text(static_cast<std::size_t>(count), u'\0');
      for (std::int32_t i = 0; i < count; ++i)
        text[static_cast<std::size_t>(i)] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                                  (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
      return text;
    }
    case vaUTF8String: return Utf8ToWide(ReadBlock());
    case vaString:
    case vaLString:
      --bufPos_;
      return AnsiToWide(ReadString());
    default: PropValueError();
  }
}

void TWriter::WriteAnsiString(const String& text) {
  if (text.size() < 256) {
    WriteValue(vaString);
    WriteStr(text);
  } else {
    WriteBlock(vaLString, text.data(), static_cast<std::int32_t>(text.size()));
  }
}

void TWriter::WriteString(const String& value) {
  std::string utf8 = AnsiToUtf8(value);
  if (utf8 != value) WriteBlock(vaUTF8String, utf8.data(), static_cast<std::int32_t>(utf8.size()));
  else WriteAnsiString(value);
}

void TWriter::WriteWideString(const WideString& value) {
  std::string utf8 = WideToUtf8(value);
  if (utf8.size() < value.size() * 2) {
    String ansi = WideToAnsi(value);
    if (utf8 != ansi) WriteBlock(vaUTF8String, utf8.data(), static_cast<std::int32_t>(utf8.size()));
    else WriteAnsiString(ansi);
    return;
  }
  WriteValue(vaWString);
  WriteLittleEndian(*this, value.size(), 4);
  for (char16_t unit : value) WriteLittleEndian(*this, unit, 2);
}

char TReader::ReadChar() {
  String s = ReadString();
  if (s.size() != 1) PropValueError();
  return s[0];
}

void TWriter::WriteChar(char value) { WriteString(String(1, value)); }

// ---- Identifiers ----

String TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: PropValueError();
  }
}

void TWriter::WriteIdent(const String& ident) {
  if (SameName(ident, "False")) WriteValue(vaFalse);
  else if (SameName(ident, "True")) WriteValue(vaTrue);
  else if (SameName(ident, "Null")) WriteValue(vaNull);
  else if (SameName(ident, "nil")) WriteValue(vaNil);
  else {
    WriteValue(vaIdent);
    WriteStr(ident);
  }
}

// ---- Floats, currency and dates ----

long double TReader::ReadFloat() {
  if (NextValue() == vaExtended) {
    ReadValue();
    unsigned char bytes[kExtendedSize];
    Read(bytes, kExtendedSize);
    return ExtendedToDouble(bytes);
  }
  return static_cast<long double>(ReadInt64());
}

void TWriter::WriteFloat(long double value) {
  unsigned char bytes[kExtendedSize];
  DoubleToExtended(value, bytes);
  WriteValue(vaExtended);
  Write(bytes, kExtendedSize);
}

float TReader::ReadSingle() {
  if (NextValue() == vaSingle) {
    ReadValue();
    auto bits = static_cast<std::uint32_t>(ReadLittleEndian(*this, 4));
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
  }
  return static_cast<float>(ReadInteger());
}

void TWriter::WriteSingle(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  WriteValue(vaSingle);
  WriteLittleEndian(*this, bits, 4);
}

long double TReader::ReadCurrency() {
  if (NextValue() == vaCurrency) {
    ReadValue();
    return static_cast<long double>(static_cast<std::int64_t>(ReadLittleEndian(*this, 8))) / 10000;
  }
  return ReadInteger();
}

void TWriter::WriteCurrency(long double value) {
  WriteValue(vaCurrency);
  WriteLittleEndian(*this, static_cast<std::uint64_t>(std::llround(value * 10000)), 8);
}

double TReader::ReadDate() {
  if (NextValue() == vaDate) {
    ReadValue();
    std::uint64_t bits = ReadLittleEndian(*this, 8);
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
  }
  return ReadInteger();
}

void TWriter::WriteDate(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  WriteValue(vaDate);
  WriteLittleEndian(*this, bits, 8);
}

// ---- Lists, sets and binary values ----

void TReader::ReadListBegin() {
  if (NextValue() != vaList) {
    SkipValue();
    PropValueError();
  }
  ReadValue();
}

void TReader::ReadListEnd() {
  if (NextValue() != vaNull) {
    SkipValue();
    PropValueError();
  }
  ReadValue();
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TReader::SkipSetBody() {
  while (!ReadStr().empty()) {
  }
}

std::vector<String> TReader::ReadSetNames() {
  if (ReadValue() != vaSet) PropValueError();
  std::vector<String> names;
  for (String name = ReadStr(); !name.empty(); name = ReadStr()) names.push_back(name);
  return names;
}

std::uint32_t TReader::ReadSet(const TTypeInfo* setType) {
  if (ReadValue() != vaSet) PropValueError();
  std::uint32_t bits = 0;
  try {
    for (String name = ReadStr(); !name.empty(); name = ReadStr()) {
      int value = GetEnumValue(setType->CompType, name);
      if (value >= 0 && value <= 31) bits |= std::uint32_t{1} << value;
    }
  } catch (const Exception&) {
    SkipSetBody();
    throw;
  }
  return bits;
}

void TWriter::WriteSet(const std::vector<String>& names) {
  WriteValue(vaSet);
  for (const String& name : names) WriteStr(name);
  WriteStr(String());
}

void TWriter::WriteBinary(const void* data, std::int32_t size) { WriteBlock(vaBinary, data, size); }

// ---- Variants ----

TVariant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNull: ReadValue(); return TVariant::Null();
    case vaNil: ReadValue(); return TVariant();
    case vaInt8: return TVariant::Integer(varByte, static_cast<std::uint8_t>(ReadInteger()));
    case vaInt16: return TVariant::Integer(varSmallint, ReadInteger());
    case vaInt32: return TVariant::Integer(varInteger, ReadInteger());
    case vaInt64: return TVariant::Integer(varInt64, ReadInt64());
    case vaExtended: return TVariant::Float(varDouble, static_cast<double>(ReadFloat()));
    case vaSingle: return TVariant::Float(varSingle, ReadSingle());
    case vaCurrency: return TVariant::Float(varCurrency, ReadCurrency());
    case vaDate: return TVariant::Float(varDate, ReadDate());
    // A string the writer had to encode as UTF-8 reads back as the string it was.
    case vaString: case vaLString: case vaUTF8String: return TVariant::Ansi(ReadString());
    case vaWString: return TVariant::Wide(ReadWideString());
    case vaFalse: case vaTrue: return TVariant::Boolean(ReadBoolean());
    default:
      // Custom variant types are not registered in this system.
      SkipValue();
      throw EReadError(SReadError);
  }
}

void TWriter::WriteVariant(const TVariant& value) {
  switch (value.Type()) {
    case varEmpty: WriteValue(vaNil); break;
    case varNull: WriteValue(vaNull); break;
    case varShortInt: case varSmallint: case varInteger: case varByte: case varWord: case varLongWord: case varInt64:
      WriteInteger(value.AsInteger());
      break;
    case varSingle: WriteSingle(static_cast<float>(value.AsFloat())); break;
    case varDouble: WriteFloat(value.AsFloat()); break;
    case varCurrency: WriteCurrency(value.AsFloat()); break;
    case varDate: WriteDate(static_cast<double>(value.AsFloat())); break;
    case varOleStr: WriteWideString(value.AsWideString()); break;
    case varBoolean: WriteBoolean(value.AsBoolean()); break;
    case varString: WriteString(value.AsString()); break;
    default: throw EWriteError(SWriteError);
  }
}

// ---- Skipping ----

void TReader::SkipValue() {
  TNesting nesting;
  switch (ReadValue()) {
    case vaNull: case vaFalse: case vaTrue: case vaNil: break;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadValue();
      break;
    case vaInt8: SkipBytes(1); break;
    case vaInt16: SkipBytes(2); break;
    case vaInt32: case vaSingle: SkipBytes(4); break;
    case vaExtended: SkipBytes(kExtendedSize); break;
    case vaCurrency: case vaDate: case vaInt64: SkipBytes(8); break;
    case vaString: case vaIdent: {
      unsigned char length;
      Read(&length, 1);
      SkipBytes(length);
      break;
    }
    case vaBinary: case vaLString: case vaUTF8String: SkipBytes(ReadLength()); break;
    case vaWString: {
      auto count = static_cast<std::int32_t>(ReadLittleEndian(*this, 4));
      if (count < 0) throw EReadError(SReadError);
      SkipBytes(std::int64_t{count} * 2);
      break;
    }
    case vaSet: SkipSetBody(); break;
    case vaCollection:
      while (!EndOfList()) {
        TValueType next = NextValue();
        if (next == vaInt8 || next == vaInt16 || next == vaInt32) SkipValue();
        if (ReadValue() != vaList) PropValueError();
        while (!EndOfList()) SkipProperty();
        ReadValue();
      }
      ReadValue();
      break;
    default: PropValueError();
  }
}

void TReader::SkipProperty() {
  ReadStr();
  SkipValue();
}

void TReader::SkipComponent(bool skipHeader) {
  TNesting nesting;
  if (skipHeader) {
    int flags, position;
    ReadPrefix(flags, position);
    ReadStr();
    ReadStr();
  }
  while (!EndOfList()) SkipProperty();
  ReadValue();
  while (!EndOfList()) SkipComponent(true);
  ReadValue();
}

}  // namespace tavelo
