#pragma once

#include <string>

namespace zenthar {

/// Writes a file whole: the text goes into PATH.part, which is renamed over PATH once written, so
/// that PATH is the old file or the new one, never a part of either. False with "PATH: cannot be
/// written" (and no PATH.part left) otherwise.
bool ReplaceFile(const std::string& path, const std::string& text, std::string& error);

}  // namespace zenthar
