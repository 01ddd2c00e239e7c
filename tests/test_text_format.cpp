#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "sim/files/text_format.h"

namespace zenthar {
namespace {

std::string Written(double value, int digits) {
  char text[kNumberTextSize];
  return std::string(text, WriteGeneral(text, value, digits));
}

std::string Printed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

std::string WrittenFixed(double value, int decimals) {
  char text[kFixedTextSize];
  return std::string(text, WriteFixed(text, value, decimals));
}

std::string PrintedFixed(double value, int decimals) {
  char text[kFixedTextSize + 1];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

TEST(TextFormat, WritesTheTextPrintfWrites) {
  struct {
    double value;
    int digits;
    const char* text;
  } const cases[] = {
      {0.0, 10, "0"},
      {-0.0, 10, "-0"},
      {0.0, 1, "0"},
      {-0.0, 17, "-0"},
      {99999999, 8, "99999999"},  // the figures are made eight at a time
      {100000000, 9, "100000000"},
      {100000007, 9, "100000007"},
      {123456789012345, 15, "123456789012345"},
      {100000000000001, 15, "100000000000001"},
      {INFINITY, 10, "inf"},
      {-INFINITY, 17, "-inf"},
      {NAN, 10, "nan"},
      {16, 10, "16"},
      {9.820201162, 10, "9.820201162"},
      {101132.93784, 10, "101132.9378"},
      {-603.47, 10, "-603.47"},
      {123456.7, 10, "123456.7"},
      {999999999.9, 10, "999999999.9"},
      {9999999999.4, 10, "9999999999"},
      {1e10, 10, "1e+10"},
      {1e22, 10, "1e+22"},
      {1e23, 10, "1e+23"},
      {1e-23, 10, "1e-23"},
      {0.0001, 10, "0.0001"},           // the smallest exponent written without e
      {0.00001, 10, "1e-05"},           // exponents in at least two figures
      {9.9999999995e-5, 10, "0.0001"},  // rounded up into the next decade
      {0.00012345678905, 10, "0.0001234567891"},
      {1234567890.5, 10, "1234567890"},  // a half exactly: to the even digit
      {1234567891.5, 10, "1234567892"},
      {9999999999.5, 10, "1e+10"},
      {1.0000000005, 10, "1.000000001"},  // just above a half
      {1.0000000015, 10, "1.000000001"},  // just below a half
      {0.15, 1, "0.1"},
      {2.675, 3, "2.67"},
      {2.5, 1, "2"},
      {0.5, 1, "0.5"},
      {-12.5, 2, "-12"},
      {100.0001, 6, "100"},
      {1e15, 15, "1e+15"},
      {123456789012345.6, 15, "123456789012346"},
      {0.1, 17, "0.10000000000000001"},
      {0.3, 17, "0.29999999999999999"},
      {1e-5, 17, "1.0000000000000001e-05"},
      {5e-324, 17, "4.9406564584124654e-324"},  // the smallest subnormal
      {5e-324, 10, "4.940656458e-324"},
      {2.2250738585072014e-308, 10, "2.225073859e-308"},
      {1.7976931348623157e308, 10, "1.797693135e+308"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, Written(c.value, c.digits)) << c.text;
  EXPECT_EQ("0.10000000000000001", FormatDouble(0.1));
  EXPECT_EQ("100.0001", ShortestDigits(100.0001, 6));
  EXPECT_EQ("100", ShortestDigits(100, 6));

  const struct {
    double value;
    int decimals;
    std::string text;  // owns printf's text where a row asks printf for it
  } fixed[] = {
      {-52.8, 7, "-52.8000000"},
      {5.2000000000000002, 7, "5.2000000"},
      {0.0, 1, "0.0"},
      {-0.0, 1, "-0.0"},
      {-0.04, 1, "-0.0"},  // rounded to zero, the sign kept
      {0.05, 1, "0.1"},    // scaled onto a half, but above it: the slow way
      {0.125, 2, "0.12"},  // a half exactly: to the even figure
      {0.375, 2, "0.38"},
      {2.5, 0, "2"},
      {3.5, 0, "4"},
      {999.96, 1, "1000.0"},
      {631034.56, 1, "631034.6"},
      {1e300, 1, PrintedFixed(1e300, 1)},  // too large for the quick way
      {-INFINITY, 7, "-inf"},
  };
  for (const auto& c : fixed) EXPECT_EQ(c.text, WrittenFixed(c.value, c.decimals)) << c.text;
}

/// Doubles of every kind, with many that round near a half at some number of digits: any bit
/// pattern, decimals of a few digits, halves of a whole number and their neighbours, powers of
/// ten and their neighbours.
double SomeDouble(std::mt19937_64& random, int kind) {
  const std::uint64_t bits = random();
  const double scale = std::pow(10.0, static_cast<int>(random() % 50) - 25);
  double value = 0;
  switch (kind) {
    case 0:
      std::memcpy(&value, &bits, sizeof value);
      return value;
    case 1:
      return std::ldexp(static_cast<double>(bits >> 11), -53) * scale;
    case 2:
      return static_cast<double>(bits % 100000000000000) * scale;
    case 3:
      value = (static_cast<double>(bits % 100000000000) + 0.5) * scale;
      break;
    default:
      value = scale;
  }
  for (int step = static_cast<int>(random() % 5) - 2; step != 0; step += step > 0 ? -1 : 1)
    value = std::nextafter(value, step > 0 ? INFINITY : 0.0);
  return value;
}

TEST(TextFormat, MatchesPrintfOnManyDoublesAtEveryPrecision) {
  std::mt19937_64 random(20240521);
  int differ = 0;
  for (int i = 0; i < 100000; ++i) {
    const double magnitude = SomeDouble(random, i % 5);
    const double value = random() % 2 ? -magnitude : magnitude;
    for (int digits = 1; digits <= 17; ++digits) {
      const std::string printed = Printed(value, digits);
      const std::string written = Written(value, digits);
      if (written != printed && ++differ <= 10)
        ADD_FAILURE() << std::hexfloat << value << " at " << digits << " digits: printf " << printed
                      << ", WriteGeneral " << written;
    }
    for (int decimals = 0; decimals <= kMostFixedDecimals; ++decimals) {
      const std::string printed = PrintedFixed(value, decimals);
      const std::string written = WrittenFixed(value, decimals);
      if (written != printed && ++differ <= 10)
        ADD_FAILURE() << std::hexfloat << value << " at " << decimals << " decimals: printf "
                      << printed << ", WriteFixed " << written;
    }
  }
  EXPECT_EQ(0, differ);
}

TEST(TextFormat, MatchesPrintfOnWholeNumbersOfEightAndFifteenFigures) {
  // Every pair of figures at every place, with the carries between them, in both blocks of eight.
  int differ = 0;
  for (std::uint64_t n = 0; n < 100000000; n += 997) {
    for (const double value : {static_cast<double>(n), 1e7 * static_cast<double>(n) + n}) {
      const std::string printed = Printed(value, 15);
      if (Written(value, 15) != printed && ++differ <= 10)
        ADD_FAILURE() << printed << " written as " << Written(value, 15);
    }
  }
  EXPECT_EQ(0, differ);
}

}  // namespace
}  // namespace zenthar
