#pragma once

#include <cstdio>
#include <string>

namespace zenthar::zsim {

/// Significant digits of a real in telemetry.csv and events.csv ("%.10g").
constexpr int kCsvDigits = 10;

/// Writes a real as the CSV files hold it: "%.10g", through WriteGeneral.
void PutCsvNumber(std::FILE* file, double value);

/// Writes a CSV field as RFC 4180 has it: as it is, or in double quotes with its quotes doubled
/// when it holds a comma, a quote or a line break, so a name can never shift the columns after
/// it. Allocates nothing.
void PutCsvField(std::FILE* file, const std::string& text);

}  // namespace zenthar::zsim
