#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zenthar::zsim {

/// Significant digits of a real in telemetry.csv and events.csv ("%.10g").
constexpr int kCsvDigits = 10;

/// Writes a real as the CSV files hold it: "%.10g", through WriteGeneral.
void PutCsvNumber(std::FILE* file, double value);

/// Writes a CSV field as RFC 4180 has it: as it is, or in double quotes with its quotes doubled
/// when it holds a comma, a quote or a line break, so a name can never shift the columns after
/// it. Allocates nothing.
void PutCsvField(std::FILE* file, const std::string& text);

/// Appends a CSV field to a line, quoted as PutCsvField writes it.
void AppendCsvField(std::string& line, const std::string& text);

/// The fields of one CSV line as RFC 4180 reads them: a field in double quotes may hold commas and
/// doubled quotes.
std::vector<std::string> CsvFields(const std::string& line);

}  // namespace zenthar::zsim
