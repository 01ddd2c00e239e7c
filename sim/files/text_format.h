#pragma once

#include <cstddef>
#include <string>

namespace zenthar {

// How the host writes numbers and tidies text, in its files, its journal and its messages.

/// Room for any number WriteGeneral writes ("-1.2345678901234567e-308" is the longest).
constexpr std::size_t kNumberTextSize = 32;

/// Writes `value` at `text` exactly as printf's "%.<digits>g" writes it (digits 1 to 17), without
/// a terminating zero, and returns the end; `text` needs kNumberTextSize bytes of room. It costs a
/// small part of what printf does, for the files a flight writes row by row ("%.10g" in the CSV
/// files, "%.17g" in saved scenarios and the trace).
char* WriteGeneral(char* text, double value, int digits);

/// Room for any number WriteFixed writes: a sign, the 309 figures of the largest double, the point
/// and at most kMostFixedDecimals decimals.
constexpr int kMostFixedDecimals = 17;
constexpr std::size_t kFixedTextSize = 1 + 309 + 1 + kMostFixedDecimals;

/// Writes `value` at `text` exactly as printf's "%.<decimals>f" writes it (decimals 0 to
/// kMostFixedDecimals), without a terminating zero, and returns the end; `text` needs
/// kFixedTextSize bytes of room. For the files a flight writes point by point (flight.kml).
char* WriteFixed(char* text, double value, int decimals);

/// A double as "%.17g" writes it: text that reads back as the same double.
std::string FormatDouble(double value);

/// A double in as few significant digits as read back as the same double, but no fewer than
/// `fewestDigits` ("%.*g").
std::string ShortestDigits(double value, int fewestDigits);

/// The shortest decimal text that reads back as the same double ("0.0001", "1e+12"); whole numbers
/// below ten million as they are ("1000000").
std::string ShortNumber(double value);

/// The text without leading and trailing blanks, tabs and carriage returns.
std::string Trim(const std::string& text);

}  // namespace zenthar
