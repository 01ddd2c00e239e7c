#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "sim/world/host_limits.h"

namespace zenthar {

// The host's one strict reader of the text users give it: scenario files, class files, key
// scripts, pitch programs and command-line values. A text that breaks a limit or a value that
// does not fit its range is refused with what was expected; nothing is ever replaced by a default.

/// Reads a text line by line. A line ends at '\n'; a carriage return before it is not part of it.
/// The text is refused, at the line where it happens, when a line is longer than kLongestLine,
/// holds a control character (any byte below 32 or 127, tab and carriage return aside), or the
/// text grows beyond kLargestFile; reading never holds more than one line.
class TextReader {
 public:
  TextReader(std::istream& in, std::string source) : in_(in), source_(std::move(source)) {}

  /// The next line; false at the end of the text, or when the text is refused (then error()).
  bool Next(std::string& line);
  /// The number of the line last read, from 1.
  int line() const { return line_; }
  /// "source:line: what", for the line last read.
  std::string At(const std::string& what) const;
  /// Empty unless the text was refused.
  const std::string& error() const { return error_; }

 private:
  std::istream& in_;
  std::string source_;
  int line_ = 0;
  std::size_t bytes_ = 0;
  std::string error_;
};

/// Reads a whole file into `text`, never more than one byte beyond `largest`: a file larger than
/// that (or an endless one, such as /dev/zero) is refused with "path:line: the text is longer
/// than N bytes", as TextReader refuses it, at the line where it grows too large.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                  std::size_t largest = kLargestFile);

/// Whether a character is a blank between words: a space or a tab.
bool IsBlank(char c);

/// The text with its letters in upper case (ASCII only).
std::string Upper(std::string text);

/// Whether the line's first word is `keyword`; then `rest` is what follows it, without leading and
/// trailing blanks.
bool AfterKeyword(const std::string& line, const std::string& keyword, std::string& rest);

/// The line up to its comment, without leading and trailing blanks. A comment starts at a '#' that
/// begins the line or follows a blank or tab, and runs to the end of the line.
std::string StripComment(const std::string& line);

/// Reads the blank-separated fields after a line's key, in order, each against what it must be.
/// The first failure is kept as "KEY: expected ..., found ...".
class FieldReader {
 public:
  /// `key` names the line in messages; `text` is what follows the key, its comment stripped.
  FieldReader(std::string key, std::string text) : key_(std::move(key)), text_(std::move(text)) {}

  /// The next field as a number within the range.
  bool Number(const ValueRange& range, double& value);
  /// The next field as it stands.
  bool Word(const char* what, std::string& word);
  /// Whether every field has been read.
  bool AtEnd();
  /// True when every field has been read; false, with the error, when more follow.
  bool End();
  /// Records "KEY: what" and answers false.
  bool Fail(const std::string& what);
  const std::string& error() const { return error_; }

 private:
  bool NextField(std::string& field);

  std::string key_;
  std::string text_;
  std::size_t at_ = 0;
  std::string error_;
};

/// A whole text as one number, any number that strtod reads (infinity and NaN too): no blanks,
/// nothing else.
bool ParseNumber(const std::string& text, double& value);

/// A whole text as one number within the range: no blanks, nothing else. False with
/// "expected ..., found '...'" otherwise.
bool ReadNumber(const std::string& text, const ValueRange& range, double& value,
                std::string& error);

}  // namespace zenthar
