#include "sim/zsim/printable.h"

#include <cstdio>

namespace zenthar::zsim {

namespace {

/// The length of the UTF-8 sequence of a printable character at text[i] (C1 controls, overlong
/// forms, surrogates and code points beyond U+10FFFF do not count), or 0.
std::size_t PrintableSequence(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead >= 0x20 && lead < 0x7f) return 1;
  std::size_t length = 0;
  unsigned long code = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
    code = lead & 0x1fu;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    code = lead & 0x0fu;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xc0u) != 0x80u) return 0;
    code = code << 6 | (byte(i + k) & 0x3fu);
  }
  const unsigned long shortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < shortest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
  return code < 0xa0 ? 0 : length;  // U+0080..U+009F are the C1 controls
}

}  // namespace

std::string Printable(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\\') {
      shown += "\\\\";
      ++i;
      continue;
    }
    const std::size_t length = PrintableSequence(text, i);
    if (length > 0) {
      shown.append(text, i, length);
      i += length;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[i]));
    shown += escaped;
    ++i;
  }
  return shown;
}

}  // namespace zenthar::zsim
