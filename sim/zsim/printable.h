#pragma once

#include <string>

namespace zenthar::zsim {

/// Text from a user (a file, vessel or class name) as it may be shown on a terminal or put into a
/// script: control characters (C0, DEL, C1), bytes that are not UTF-8 and the backslash itself
/// become \xNN or \\, so the text can neither move the cursor, recolour the screen, nor break a
/// line; everything else is kept as it was.
std::string Printable(const std::string& text);

}  // namespace zenthar::zsim
