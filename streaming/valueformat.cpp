// The 80-bit extended float: a 64-bit mantissa with an explicit integer bit, a 15-bit
// exponent biased by 16383 and a sign, converted to and from the host's long double.
#include "streaming/valueformat.h"

#include <cmath>

namespace tavelo {

void DoubleToExtended(long double value, unsigned char bytes[kExtendedSize]) {
  std::uint64_t mantissa = 0;
  int exponent = 0;
  bool negative = std::signbit(value);
  long double magnitude = std::fabs(value);
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ULL;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ULL;
  } else if (magnitude != 0) {
    int e = 0;
    long double fraction = std::frexp(magnitude, &e);  // [0.5, 1)
    exponent = e - 1 + 16383;
    if (exponent <= 0) {
      // Too small for a normal number: a denormal with exponent field 0.
      mantissa = static_cast<std::uint64_t>(std::ldexp(magnitude, 16382 + 63));
      exponent = 0;
    } else {
      mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    }
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(mantissa >> (8 * i));
  int top = exponent | (negative ? 0x8000 : 0);
  bytes[8] = static_cast<unsigned char>(top);
  bytes[9] = static_cast<unsigned char>(top >> 8);
}

long double ExtendedToDouble(const unsigned char bytes[kExtendedSize]) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  int top = bytes[8] | (bytes[9] << 8);
  bool negative = (top & 0x8000) != 0;
  int exponent = top & 0x7FFF;
  long double value;
  if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? HUGE_VALL : std::nanl("");
  } else if (exponent == 0 && mantissa == 0) {
    value = 0;
  } else {
    value = std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
  }
  return negative ? -value : value;
}

}  // namespace tavelo
