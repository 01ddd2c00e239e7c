#pragma once

#include <cstdio>
#include <string>

namespace zenthar::zsim {

/// Writes a CSV field as RFC 4180 has it: as it is, or in double quotes with its quotes doubled
/// when it holds a comma, a quote or a line break, so a name can never shift the columns after
/// it. Allocates nothing.
void PutCsvField(std::FILE* file, const std::string& text);

}  // namespace zenthar::zsim
