#pragma once

#include <string>

namespace zenthar::zsim {

/// Writes the whole text to a file descriptor, going on after a short write or an interrupting
/// signal. False when the descriptor refuses the rest (a full disk, a closed pipe).
bool WriteAll(int fd, const std::string& text);

}  // namespace zenthar::zsim
