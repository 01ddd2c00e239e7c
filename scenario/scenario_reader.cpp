#include "scenario/scenario_reader.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

bool ReadReal(const char* text, double& value) {
  char* end = nullptr;
  const double read = std::strtod(text, &end);
  if (end == text || !std::isfinite(read)) return false;
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
