#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zenthar::zsim {

// What a sweep varies and the flights it makes of it: `--vary NAME=VALUES` (docs/SWEEPS.md).

/// One field of a varied value: text as it goes into the scenario, or a random draw.
struct ValueField {
  enum class Kind { kText, kNormal, kUniform } kind = Kind::kText;
  std::string text;  ///< kText: the field as written
  double a = 0;      ///< kNormal: the mean; kUniform: the lower end
  double b = 0;      ///< kNormal: the standard deviation; kUniform: the upper end
};

/// One value a --vary option offers: the fields of a scenario line ("5.2 -52.8" for PAD).
using OfferedValue = std::vector<ValueField>;

/// A --vary option: the input it varies and the values it offers.
struct VariedInput {
  std::string name;                  ///< as given: "SAT_MASS", "PAD", "KEY:J"
  std::vector<OfferedValue> values;  ///< the list's or the range's values, in order

  bool HasDraws() const;
};

/// The most flights a sweep flies.
constexpr std::size_t kMostFlights = 10000000;

/// Reads "NAME=VALUES": VALUES a range "a:b:step", a list "v1,v2,..." whose values may be tuples of
/// blank-separated fields in double quotes, or draws "N(mean,sd)" and "U(lo,hi)" as fields. Only
/// the form is read here; what a value must be is the scenario reader's to say. False with
/// "--vary TEXT: what is wrong".
bool ReadVariedInput(const std::string& text, VariedInput& input, std::string& error);

/// The flights of a sweep: one per point of the grid the inputs span (the last input varying
/// fastest), or `draws` flights whose inputs are drawn at random from `seed`: each draw picks one
/// of an input's values and draws its N() and U() fields. Flight i's inputs depend on the inputs,
/// the seed and i alone, so a sweep started again or split over machines flies the same flights.
class SweepPoints {
 public:
  /// False with the reason when the grid would be larger than kMostFlights, a draw is asked for
  /// without `draws`, or `draws` is larger than kMostFlights.
  bool Set(std::vector<VariedInput> inputs, std::size_t draws, std::uint64_t seed,
           std::string& error);

  std::size_t count() const { return count_; }
  const std::vector<VariedInput>& inputs() const { return inputs_; }
  /// The inputs of flight `flight` (0 to count - 1): per input its value as scenario text,
  /// fields joined by one blank; a drawn number in the fewest digits that read back as it.
  std::vector<std::string> ValuesOf(std::size_t flight) const;

 private:
  std::vector<VariedInput> inputs_;
  std::size_t count_ = 0;
  std::size_t draws_ = 0;
  std::uint64_t seed_ = 0;
};

}  // namespace zenthar::zsim
