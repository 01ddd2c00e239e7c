#include "sim/files/text_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <istream>

#include "sim/files/text_format.h"

namespace zenthar {

namespace {

/// What separates fields in a line: a carriage return inside it too.
bool IsFieldBlank(char c) {
  return IsBlank(c) || c == '\r';
}

bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\r') || c == 0x7F;
}

std::string Found(const std::string& text) {
  return text.empty() ? "nothing" : "'" + text + "'";
}

}  // namespace

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool AfterKeyword(const std::string& line, const std::string& keyword, std::string& rest) {
  if (line.compare(0, keyword.size(), keyword) != 0) return false;
  if (line.size() > keyword.size() && !IsBlank(line[keyword.size()])) return false;
  rest = Trim(line.substr(keyword.size()));
  return true;
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty() || IsFieldBlank(text[0])) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

bool TextReader::Next(std::string& line) {
  if (!error_.empty()) return false;
  line.clear();
  std::streambuf* buffer = in_.rdbuf();
  bool any = false;
  bool tooLong = false;
  for (int c; buffer && (c = buffer->sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (++bytes_ > kLargestFile) {
      ++line_;
      error_ = At("the text is longer than " + std::to_string(kLargestFile) + " bytes");
      return false;
    }
    if (c == '\n') break;
    // One byte more than the limit tells a line that is too long from one that ends in "\r";
    // the rest of a line too long is never read.
    if (line.size() > kLongestLine) {
      tooLong = true;
      break;
    }
    line.push_back(static_cast<char>(c));
  }
  if (!any) return false;
  ++line_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (tooLong || line.size() > kLongestLine) {
    error_ = At("the line is longer than " + std::to_string(kLongestLine) + " characters");
    return false;
  }
  for (char c : line) {
    if (!IsControl(static_cast<unsigned char>(c))) continue;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(c));
    error_ = At(std::string("a control character (byte ") + byte + ") in the line");
    return false;
  }
  return true;
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                  std::size_t largest) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  // In pieces, so that a small file costs little and an endless one stops at the limit; nothing
  // past the limit is kept.
  char piece[1 << 16];
  text.clear();
  while (file.read(piece, sizeof piece) || file.gcount() > 0) {
    const auto read = static_cast<std::size_t>(file.gcount());
    if (read > largest - text.size()) {
      const std::size_t kept = largest - text.size();
      const auto line =
          std::count(text.begin(), text.end(), '\n') + std::count(piece, piece + kept, '\n') + 1;
      error = path + ":" + std::to_string(line) + ": the text is longer than " +
              std::to_string(largest) + " bytes";
      text.clear();
      return false;
    }
    text.append(piece, read);
  }
  if (!file.bad()) return true;
  error = path + ": cannot be read";
  return false;
}

std::string TextReader::At(const std::string& what) const {
  return source_ + ":" + std::to_string(line_) + ": " + what;
}

std::string StripComment(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || IsFieldBlank(line[i - 1]))) return Trim(line.substr(0, i));
  return Trim(line);
}

bool FieldReader::NextField(std::string& field) {
  while (at_ < text_.size() && IsFieldBlank(text_[at_])) ++at_;
  const std::size_t start = at_;
  while (at_ < text_.size() && !IsFieldBlank(text_[at_])) ++at_;
  field = text_.substr(start, at_ - start);
  return !field.empty();
}

bool FieldReader::Number(const ValueRange& range, double& value) {
  std::string field;
  NextField(field);
  double read = 0;
  if (!ParseNumber(field, read) || !range.Holds(read))
    return Fail("expected " + range.Expected() + ", found " + Found(field));
  value = read;
  return true;
}

bool FieldReader::Word(const char* what, std::string& word) {
  if (!NextField(word)) return Fail(std::string("expected ") + what + ", found nothing");
  return true;
}

bool FieldReader::AtEnd() {
  while (at_ < text_.size() && IsFieldBlank(text_[at_])) ++at_;
  return at_ == text_.size();
}

bool FieldReader::End() {
  if (AtEnd()) return true;
  return Fail("expected nothing more, found '" + text_.substr(at_) + "'");
}

bool FieldReader::Fail(const std::string& what) {
  if (error_.empty()) error_ = key_ + ": " + what;
  return false;
}

bool ReadNumber(const std::string& text, const ValueRange& range, double& value,
                std::string& error) {
  double read = 0;
  if (!ParseNumber(text, read) || !range.Holds(read)) {
    error = "expected " + range.Expected() + ", found " + Found(text);
    return false;
  }
  value = read;
  return true;
}

}  // namespace zenthar
