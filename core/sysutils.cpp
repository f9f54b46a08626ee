#include "core/sysutils.h"

#include <climits>
#include <cstdio>

#include "core/exceptions.h"
#include "core/rtlconsts.h"

namespace tavelo {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char AnsiOf(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(WideString& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

[[noreturn]] void RaiseFormatError(const String& format) {
  throw EConvertError(SInvalidFormat, {format});
}

String Pad(String body, int width, bool left) {
  if (width > 0 && static_cast<int>(body.size()) < width) {
    String fill(static_cast<std::size_t>(width) - body.size(), ' ');
    body = left ? body + fill : fill + body;
  }
  return body;
}

String Digits(unsigned long long value, int base, bool upper) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char buffer[32];
  int n = 0;
  do {
    buffer[n++] = digits[value % static_cast<unsigned>(base)];
    value /= static_cast<unsigned>(base);
  } while (value != 0);
  String out;
  while (n > 0) out += buffer[--n];
  return out;
}

// Precision on integers gives the minimum number of digits, as the runtime does.
String Integer(long long value, bool isSigned, int base, bool upper, int precision) {
  bool negative = isSigned && value < 0;
  unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                          : static_cast<unsigned long long>(value);
  String body = Digits(magnitude, base, upper);
  if (precision > static_cast<int>(body.size()))
    body = String(static_cast<std::size_t>(precision) - body.size(), '0') + body;
  return negative ? "-" + body : body;
}

}  // namespace

String Format(const String& format, TFormatArgs args) {
  String out;
  out.reserve(format.size() + 16);
  auto next = args.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < format.size() && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9')
      width = width * 10 + (format[i++] - '0');
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = 0;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9')
        precision = precision * 10 + (format[i++] - '0');
    }
    if (i >= format.size() || next == args.end()) RaiseFormatError(format);
    char directive = format[i++];
    const TFormatArg& arg = *next++;
    using K = TFormatArg::TKind;
    bool integral = arg.Kind() == K::Integer || arg.Kind() == K::Unsigned;
    String body;
    switch (directive) {
      case 's': case 'S':
        if (arg.Kind() != K::Text) RaiseFormatError(format);
        body = arg.Text();
        if (precision >= 0 && static_cast<int>(body.size()) > precision)
          body.resize(static_cast<std::size_t>(precision));
        break;
      case 'd': case 'D':
        if (!integral) RaiseFormatError(format);
        body = Integer(arg.Integer(), arg.Kind() == K::Integer, 10, false, precision);
        break;
      case 'u': case 'U':
        if (!integral) RaiseFormatError(format);
        body = Integer(arg.Integer() & 0xFFFFFFFFLL, false, 10, false, precision);
        break;
      case 'x': case 'X': {
        if (!integral) RaiseFormatError(format);
        // Hexadecimal shows the 32-bit pattern of a negative value, as on the target.
        long long v = arg.Integer();
        if (v < 0 && v >= INT_MIN) v &= 0xFFFFFFFFLL;
        // The runtime writes hexadecimal digits in capitals whichever letter is used.
        body = Integer(v, false, 16, true, precision);
        break;
      }
      case 'p': case 'P':
        if (arg.Kind() != K::Pointer) RaiseFormatError(format);
        body = Integer(static_cast<long long>(reinterpret_cast<std::uintptr_t>(arg.Pointer())), false,
                       16, true, static_cast<int>(sizeof(void*) * 2));
        break;
      default:
        RaiseFormatError(format);
    }
    out += Pad(body, width, left);
  }
  return out;
}

String IntToStr(long long value) { return Integer(value, true, 10, false, -1); }

String IntToHex(unsigned long long value, int digits) {
  return Integer(static_cast<long long>(value), false, 16, true, digits);
}

bool TryStrToInt64(const String& text, long long& value) {
  std::size_t i = 0, n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return false;
  unsigned long long magnitude = 0;
  const unsigned long long limit = base == 16 ? ~0ULL : 9223372036854775808ULL;
  for (; i < n; ++i) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    if (magnitude > (limit - static_cast<unsigned>(d)) / static_cast<unsigned>(base)) return false;
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
  }
  if (base == 10 && !negative && magnitude > 9223372036854775807ULL) return false;
  value = negative ? static_cast<long long>(0ULL - magnitude) : static_cast<long long>(magnitude);
  return true;
}

bool TryStrToInt(const String& text, int& value) {
  long long wide;
  if (!TryStrToInt64(text, wide)) return false;
  bool hex = text.find_first_of("$xX") != String::npos;
  // Hexadecimal accepts the full 32-bit pattern ($FFFFFFFF is -1), decimal only the range.
  if (hex ? (wide < INT_MIN || wide > static_cast<long long>(UINT_MAX)) : (wide < INT_MIN || wide > INT_MAX))
    return false;
  value = static_cast<int>(static_cast<unsigned>(wide));
  return true;
}

int StrToInt(const String& text) {
  int value;
  if (!TryStrToInt(text, value)) throw EConvertError(SInvalidInteger, {text});
  return value;
}

long long StrToInt64(const String& text) {
  long long value;
  if (!TryStrToInt64(text, value)) throw EConvertError(SInvalidInteger, {text});
  return value;
}

WideString AnsiToWide(const String& text) {
  WideString out;
  out.resize(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

String WideToAnsi(const WideString& text) {
  String out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    // A surrogate pair is one character the code page lacks: one "?".
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) ++i;
    out += AnsiOf(u);
  }
  return out;
}

std::string WideToUtf8(const WideString& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (u >= 0xD800 && u < 0xE000) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}

WideString Utf8ToWide(const std::string& text) {
  WideString out;
  out.reserve(text.size());
  std::size_t i = 0, n = text.size();
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    int extra;
    char32_t cp, min;
    if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; min = 0x80; }
    else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; min = 0x800; }
    else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; min = 0x10000; }
    else { out += u'\xFFFD'; ++i; continue; }
    std::size_t j = i + 1;
    int k = 0;
    for (; k < extra && j < n && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80; ++k, ++j)
      cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    if (k < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
      out += u'\xFFFD';  // the bad sequence, as far as it went, is one character
      i = j;
      continue;
    }
    AppendUtf16(out, cp);
    i = j;
  }
  return out;
}

std::string AnsiToUtf8(const String& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char b : text) {
    char32_t u = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : b;
    AppendUtf8(out, u);
  }
  return out;
}

String Utf8ToAnsi(const std::string& text) { return WideToAnsi(Utf8ToWide(text)); }

bool SameName(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
  if (aLength != bLength) return false;
  for (std::size_t i = 0; i < aLength; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool SameName(const String& a, const String& b) { return SameName(a.data(), a.size(), b.data(), b.size()); }

String UpperCase(const String& text) {
  String out(text);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

String LowerCase(const String& text) {
  String out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

}  // namespace tavelo
