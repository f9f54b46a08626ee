// Runtime string services: the two string types, their conversions, Format and the
// integer/text conversions. Every conversion between Windows-1252, UTF-16 and UTF-8 lives
// here and nowhere else.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace tavelo {

// Bytes in the ANSI code page (Windows-1252).
using String = std::string;
// UTF-16 code units.
using WideString = std::u16string;

// One argument of Format: an integer, a text or a pointer.
class TFormatArg {
public:
  enum class TKind { Integer, Unsigned, Text, Pointer };

  TFormatArg(int value) : kind_(TKind::Integer), integer_(value) {}
  TFormatArg(long value) : kind_(TKind::Integer), integer_(value) {}
  TFormatArg(long long value) : kind_(TKind::Integer), integer_(value) {}
  TFormatArg(unsigned value) : kind_(TKind::Unsigned), integer_(static_cast<long long>(value)) {}
  TFormatArg(unsigned long value) : kind_(TKind::Unsigned), integer_(static_cast<long long>(value)) {}
  TFormatArg(unsigned long long value) : kind_(TKind::Unsigned), integer_(static_cast<long long>(value)) {}
  TFormatArg(const char* value) : kind_(TKind::Text), text_(value ? value : "") {}
  TFormatArg(const String& value) : kind_(TKind::Text), text_(value.c_str()), length_(value.size()), hasLength_(true) {}
  TFormatArg(const void* value) : kind_(TKind::Pointer), pointer_(value) {}

  TKind Kind() const { return kind_; }
  long long Integer() const { return integer_; }
  const void* Pointer() const { return pointer_; }
  String Text() const { return hasLength_ ? String(text_, length_) : String(text_); }

private:
  TKind kind_;
  long long integer_ = 0;
  const char* text_ = nullptr;
  std::size_t length_ = 0;
  bool hasLength_ = false;
  const void* pointer_ = nullptr;
};

using TFormatArgs = std::initializer_list<TFormatArg>;

// Fills %s %d %u %x %X %p (with the "-", width and ".precision" forms) in order; "%%" is a
// percent sign. A directive that does not fit its argument, or a missing argument, raises
// EConvertError SInvalidFormat.
String Format(const String& format, TFormatArgs args);

String IntToStr(long long value);
String IntToHex(unsigned long long value, int digits);
// Decimal, optionally signed, or hexadecimal with a leading "$" or "0x"; surrounding blanks
// are refused. Raises EConvertError SInvalidInteger.
int StrToInt(const String& text);
long long StrToInt64(const String& text);
bool TryStrToInt(const String& text, int& value);
bool TryStrToInt64(const String& text, long long& value);

// Windows-1252 <-> UTF-16: the five bytes the code page leaves undefined map to the control
// characters of the same number, as the platform does; a character the code page lacks
// becomes "?".
WideString AnsiToWide(const String& text);
String WideToAnsi(const WideString& text);
// UTF-16 <-> UTF-8: a malformed sequence or a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const WideString& text);
WideString Utf8ToWide(const std::string& text);
std::string AnsiToUtf8(const String& text);
String Utf8ToAnsi(const std::string& text);

// ASCII letters compared without case, the rule for every name looked up at run time.
bool SameName(const String& a, const String& b);
bool SameName(const char* a, std::size_t aLength, const char* b, std::size_t bLength);

String UpperCase(const String& text);  // ASCII letters only
String LowerCase(const String& text);  // ASCII letters only

}  // namespace tavelo
