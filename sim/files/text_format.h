#pragma once

#include <string>

namespace zenthar {

// How the host writes numbers and tidies text, in its files, its journal and its messages.

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
