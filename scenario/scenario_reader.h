#pragma once

namespace vantor {

// Reading the module's scenario lines: key matching and the four value forms. Scenario text is
// edited by hand, so every read is bounded and a value that does not fit its form counts as
// unreadable.

/// The text right after the key when the line carries it: the line's first characters equal the
/// key, compared without regard to case over exactly the key's length. Null otherwise.
const char* MatchKey(const char* line, const char* key);

/// Integer: leading white space, an optional sign, decimal digits. False when there is no number
/// or it lies outside the range of int.
bool ReadInteger(const char* text, int& value);

/// Flag: true only for the integer 1; false for any other value and for no readable number.
bool ReadFlag(const char* text);

/// Real: what "%lf" reads, decimal or hexadecimal, with or without an exponent. False when "%lf"
/// finds no number, or it reads as NaN or infinity.
bool ReadReal(const char* text, double& value);

/// Word: leading white space skipped, then every character up to the next white space, cut at
/// 255 characters. False, leaving the field as it was, when no word follows.
bool ReadWord(const char* text, char (&field)[256]);

}  // namespace vantor
