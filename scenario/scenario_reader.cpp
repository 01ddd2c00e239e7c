#include "scenario/scenario_reader.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vantor {

const char* MatchKey(const char* line, const char* key) {
  for (; *key; ++line, ++key) {
    const auto a = static_cast<unsigned char>(*line);
    const auto b = static_cast<unsigned char>(*key);
    if (a == '\0' || std::toupper(a) != std::toupper(b)) return nullptr;
  }
  return line;
}

bool ReadInteger(const char* text, int& value) {
  char* end = nullptr;
  errno = 0;
  const long read = std::strtol(text, &end, 10);
  if (end == text || errno == ERANGE || read < INT_MIN || read > INT_MAX) return false;
  value = static_cast<int>(read);
  return true;
}

bool ReadFlag(const char* text) {
  int value = 0;
  return ReadInteger(text, value) && value == 1;
}

// A real is what "%lf" reads. strtod differs on a bare hexadecimal prefix ("0x", "-0x 5"): it
// reads the 0, where "%lf" has taken the "x" and finds no number.
bool ReadReal(const char* text, double& value) {
  double read = 0;
  if (std::sscanf(text, "%lf", &read) != 1 || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool ReadWord(const char* text, char (&field)[256]) {
  char word[256];
  if (std::sscanf(text, "%255s", word) != 1) return false;
  for (int i = 0; i < 256; ++i) {
    field[i] = word[i];
    if (word[i] == '\0') break;
  }
  return true;
}

}  // namespace vantor
