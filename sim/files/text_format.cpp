#include "sim/files/text_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zenthar {

namespace {

/// The powers of ten a double holds exactly, 1e0 to 1e22.
const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
const int kLargestExactPower = 22;

/// The most significant digits the quick way rounds: below 10^15 < 2^52 a double holds every
/// whole number and every half.
const int kMostQuickDigits = 15;
const double kHalvesHeldBelow = 4503599627370496.0;  ///< 2^52

/// magnitude x 10^power in one correctly rounded multiplication or division; false when 10^power
/// is not held exactly.
bool ScaleByPowerOfTen(double magnitude, int power, double& scaled) {
  if (power > kLargestExactPower || power < -kLargestExactPower) return false;
  scaled = power >= 0 ? magnitude * kPowersOfTen[power] : magnitude / kPowersOfTen[-power];
  return true;
}

/// A scaled magnitude below 2^52, the correctly rounded product of the exact one and a power of
/// ten, rounded to a whole number as the exact one rounds; false when that is unknown.
bool RoundScaled(double scaled, std::uint64_t& whole) {
  // Rounding keeps order: below 2^52 a whole number and a half is a double, so the scaled
  // magnitude lies on the same side of it as the exact one, or on it. Only then is it unknown
  // which way printf, which rounds the exact value, goes.
  whole = static_cast<std::uint64_t>(scaled);  // held exactly
  const double fraction = scaled - static_cast<double>(whole);
  if (fraction == 0.5) return false;
  if (fraction > 0.5) ++whole;
  return true;
}

/// The decimal exponent of a positive normal double, or one less: a magnitude in [2^b, 2^(b+1))
/// has the decimal exponent floor(b log10 2) or one more, and b log10 2 is a whole number only
/// for b = 0.
int DecimalExponentOrOneLess(double magnitude) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int binaryExponent = static_cast<int>(bits >> 52) - 1023;
  const double estimate = binaryExponent * 0.30102999566398120;
  return binaryExponent >= 0 ? static_cast<int>(estimate) : static_cast<int>(estimate) - 1;
}

/// A finite, non-zero magnitude rounded to `digits` significant digits: the digits as a whole
/// number of exactly `digits` figures and the decimal exponent of the first. False where one
/// rounding of the scaled magnitude may not round as the exact magnitude does: too large or too
/// small for an exact power of ten to scale it, or scaled onto a half.
bool RoundToDigits(double magnitude, int digits, std::uint64_t& significand, int& exponent) {
  exponent = DecimalExponentOrOneLess(magnitude);
  double scaled = 0;
  if (!ScaleByPowerOfTen(magnitude, digits - 1 - exponent, scaled)) return false;
  if (scaled >= kPowersOfTen[digits]) {
    ++exponent;
    if (!ScaleByPowerOfTen(magnitude, digits - 1 - exponent, scaled)) return false;
  }
  // The scaled magnitude is the exact one rounded once, below 10^15.
  if (!RoundScaled(scaled, significand)) return false;
  if (static_cast<double>(significand) == kPowersOfTen[digits]) {
    significand /= 10;
    ++exponent;
  }
  return true;
}

/// The figures "00" to "99", two by two.
const char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// Writes the eight figures of n < 10^8, leading zeros included, two at a time without a
/// division: n / 10^6 as a number with 57 bits after the point has the first pair as its whole
/// part, and each next pair is the whole part of the fraction left times 100. Rounding 2^57 / 10^6
/// up adds less than n < 2^27 to the product, while the exact fraction lies at least 2^57 / 10^6
/// > 2^37 below the next whole number; both grow a hundredfold at each pair, so no pair comes out
/// one too large.
void WriteEightFigures(char* figures, std::uint64_t n) {
  constexpr int kPointBits = 57;
  constexpr std::uint64_t kMultiplier = (std::uint64_t{1} << kPointBits) / 1000000 + 1;
  constexpr std::uint64_t kFraction = (std::uint64_t{1} << kPointBits) - 1;
  std::uint64_t fixed = n * kMultiplier;  // below 10^8 x 2^57 / 10^6 < 2^64
  std::memcpy(figures, kPairs + 2 * (fixed >> kPointBits), 2);
  fixed = (fixed & kFraction) * 100;
  std::memcpy(figures + 2, kPairs + 2 * (fixed >> kPointBits), 2);
  fixed = (fixed & kFraction) * 100;
  std::memcpy(figures + 4, kPairs + 2 * (fixed >> kPointBits), 2);
  fixed = (fixed & kFraction) * 100;
  std::memcpy(figures + 6, kPairs + 2 * (fixed >> kPointBits), 2);
}

/// Figures are copied kMostQuickDigits + 1 at a time, whatever their count: a copy of a fixed size
/// needs no loop. What lies past the figures wanted is written over or left in the room the caller
/// gives (see kNumberTextSize).
const int kFigureCopy = kMostQuickDigits + 1;

/// Copies `count` figures (at most kFigureCopy) to `text` and returns their end.
char* CopyFigures(char* text, const char* figures, int count) {
  std::memcpy(text, figures, kFigureCopy);
  return text + count;
}

/// Lays out `digits` figures of a significand with the decimal exponent of the first as "%g"
/// does: trailing zeros dropped, and the point with it when nothing follows it; fixed notation
/// for an exponent from -4 to digits - 1, otherwise d.ddde+XX. It writes at most kMostQuickDigits
/// + kFigureCopy bytes, within kNumberTextSize with the sign before them.
char* LayOut(char* text, std::uint64_t significand, int digits, int exponent) {
  // Two blocks of eight figures, the last `digits` of them wanted, and room to copy them whole.
  static_assert(1 + kMostQuickDigits + kFigureCopy <= kNumberTextSize, "a number's room");
  char blocks[2 * kFigureCopy];
  if (digits > 10) {
    WriteEightFigures(blocks, significand / 100000000);
  } else if (digits > 8) {  // "%.10g", the files' usual precision: two figures before the eight
    std::memcpy(blocks + 6, kPairs + 2 * (significand / 100000000), 2);
  }
  WriteEightFigures(blocks + 8, significand % 100000000);
  const char* figures = blocks + 16 - digits;
  int count = digits;
  while (count > 1 && figures[count - 1] == '0') --count;
  if (exponent < -4 || exponent >= digits) {
    *text++ = figures[0];
    if (count > 1) {
      *text++ = '.';
      text = CopyFigures(text, figures + 1, count - 1);
    }
    *text++ = 'e';
    *text++ = exponent < 0 ? '-' : '+';
    const int size = std::abs(exponent);  // below 100: 10^size scaled the magnitude
    *text++ = static_cast<char>('0' + size / 10);
    *text++ = static_cast<char>('0' + size % 10);
    return text;
  }
  if (exponent < 0) {
    std::memcpy(text, "0.000", 5);
    return CopyFigures(text + 1 - exponent, figures, count);
  }
  // 1 to digits figures before the point; with figures after it, at most digits - 1.
  const int integerFigures = exponent + 1;
  text = CopyFigures(text, figures, integerFigures);
  if (count <= integerFigures) return text;
  *text++ = '.';
  return CopyFigures(text, figures + integerFigures, count - integerFigures);
}

}  // namespace

char* WriteGeneral(char* text, double value, int digits) {
  // Many columns of a flight's files hold zero for long stretches; "%g" writes it without a point.
  if (value == 0 && digits >= 1 && digits <= 17) {
    if (std::signbit(value)) *text++ = '-';
    *text++ = '0';
    return text;
  }
  std::uint64_t significand = 0;
  int exponent = 0;
  if (digits >= 1 && digits <= kMostQuickDigits && std::isfinite(value) &&
      RoundToDigits(std::fabs(value), digits, significand, exponent)) {
    if (value < 0) *text++ = '-';
    return LayOut(text, significand, digits, exponent);
  }
  // The standard defines this as printf's "%.<digits>g" text, exactly; it is the slower way.
  return std::to_chars(text, text + kNumberTextSize, value, std::chars_format::general, digits).ptr;
}

char* WriteFixed(char* text, double value, int decimals) {
  double scaled = 0;
  std::uint64_t whole = 0;
  if (decimals >= 0 && decimals <= kMostQuickDigits && std::isfinite(value) &&
      ScaleByPowerOfTen(std::fabs(value), decimals, scaled) && scaled < kHalvesHeldBelow &&
      RoundScaled(scaled, whole)) {
    // Figures from the last decimal back; at least one before the point. A negative value that
    // rounds to zero keeps its sign, as printf's does.
    char figures[kMostQuickDigits + 2];
    int count = 0;
    for (; whole > 0 || count <= decimals; whole /= 10)
      figures[count++] = static_cast<char>('0' + whole % 10);
    if (std::signbit(value)) *text++ = '-';
    while (count > decimals) *text++ = figures[--count];
    if (decimals > 0) *text++ = '.';
    while (count > 0) *text++ = figures[--count];
    return text;
  }
  // The standard defines this as printf's "%.<decimals>f" text, exactly; it is the slower way.
  return std::to_chars(text, text + kFixedTextSize, value, std::chars_format::fixed, decimals).ptr;
}

std::string FormatDouble(double value) {
  char text[kNumberTextSize];
  return std::string(text, WriteGeneral(text, value, 17));
}

std::string ShortestDigits(double value, int fewestDigits) {
  char text[kNumberTextSize + 1];
  for (int digits = fewestDigits; digits <= 17; ++digits) {
    *WriteGeneral(text, value, digits) = '\0';
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string ShortNumber(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e7) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
  }
  return ShortestDigits(value, 1);
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace zenthar
