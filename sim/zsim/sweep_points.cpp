#include "sim/zsim/sweep_points.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"

namespace zenthar::zsim {

namespace {

/// The items of a list: split at the commas that stand outside parentheses and double quotes.
std::vector<std::string> ListItems(const std::string& written) {
  std::vector<std::string> items(1);
  int depth = 0;
  bool quoted = false;
  for (char c : written) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')' && depth > 0) --depth;
    if (c == ',' && depth == 0 && !quoted)
      items.emplace_back();
    else
      items.back() += c;
  }
  return items;
}

/// "N(mean,sd)" or "U(lo,hi)" as a draw; false when the field is not written as one. `error` is
/// set when it is, but its numbers cannot be drawn from.
bool ReadDraw(const std::string& field, ValueField& draw, std::string& error) {
  if (field.size() < 4 || (field[0] != 'N' && field[0] != 'U') || field[1] != '(' ||
      field.back() != ')')
    return false;
  const std::string inside = field.substr(2, field.size() - 3);
  const std::size_t comma = inside.find(',');
  double a = 0, b = 0;
  if (comma == std::string::npos || !ParseNumber(Trim(inside.substr(0, comma)), a) ||
      !ParseNumber(Trim(inside.substr(comma + 1)), b) || !std::isfinite(a) || !std::isfinite(b)) {
    error = "expected two numbers in " + field;
    return true;
  }
  draw.kind = field[0] == 'N' ? ValueField::Kind::kNormal : ValueField::Kind::kUniform;
  draw.a = a;
  draw.b = b;
  if (draw.kind == ValueField::Kind::kNormal && b < 0)
    error = "a standard deviation below 0 in " + field;
  if (draw.kind == ValueField::Kind::kUniform && b < a)
    error = "an upper end below the lower end in " + field;
  return true;
}

/// The fields of one listed value, its double quotes taken off.
bool ReadOfferedValue(std::string item, OfferedValue& value, std::string& error) {
  item = Trim(item);
  if (item.size() >= 2 && item.front() == '"' && item.back() == '"')
    item = Trim(item.substr(1, item.size() - 2));
  if (item.empty()) {
    error = "an empty value";
    return false;
  }
  std::size_t at = 0;
  while (at < item.size()) {
    while (at < item.size() && IsBlank(item[at])) ++at;
    const std::size_t start = at;
    while (at < item.size() && !IsBlank(item[at])) ++at;
    if (start == at) break;
    ValueField field;
    field.text = item.substr(start, at - start);
    if (ReadDraw(field.text, field, error) && !error.empty()) return false;
    value.push_back(field);
  }
  return true;
}

/// A number as a value's text: the fewest digits that read back as it.
ValueField NumberField(double value) {
  ValueField field;
  field.text = ShortNumber(value);
  return field;
}

/// A value of a range as the decimal of 15 digits at the scale of the range's ends, the largest
/// of |a| and |b|: -0.3:0.3:0.1 reaches 0 and not 5.55e-17, -100:0:0.1 reaches -0.1 and not
/// -0.0999999999999943. The digits below that scale are the rounding of a + k step alone.
double RangeValue(double value, double scale) {
  const double unit = std::pow(10.0, std::floor(std::log10(scale)) - 14);
  if (unit > 0 && std::isfinite(unit)) value = std::round(value / unit) * unit + 0.0;
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  ParseNumber(text, value);
  return value;
}

/// "a:b:step": a, a + step, ... up to b, each as the 15-digit decimal nearest it, so that 0.1
/// steps read 0.3 and not 0.30000000000000004. False when the text is no range; `error` is set
/// when it is one that cannot be stepped through.
bool ReadRange(const std::string& written, std::vector<OfferedValue>& values, std::string& error) {
  const std::size_t first = written.find(':');
  const std::size_t second = first == std::string::npos ? first : written.find(':', first + 1);
  if (second == std::string::npos || written.find(':', second + 1) != std::string::npos)
    return false;
  double a = 0, b = 0, step = 0;
  if (!ParseNumber(written.substr(0, first), a) ||
      !ParseNumber(written.substr(first + 1, second - first - 1), b) ||
      !ParseNumber(written.substr(second + 1), step))
    return false;
  if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(step) || step == 0) {
    error = "a range needs finite ends and a step other than 0";
    return true;
  }
  const double steps = (b - a) / step;
  if (steps < 0) {
    error = "the step leads away from the range's end";
    return true;
  }
  if (steps + 1 > static_cast<double>(kMostFlights)) {
    error = "more than " + std::to_string(kMostFlights) + " values";
    return true;
  }
  const long last = static_cast<long>(std::floor(steps + 1e-9));
  const double scale = std::max(std::fabs(a), std::fabs(b));
  for (long k = 0; k <= last; ++k)
    values.push_back({NumberField(RangeValue(a + static_cast<double>(k) * step, scale))});
  return true;
}

/// A uniform double in [0, 1) from the generator's top 53 bits.
double Uniform(std::mt19937_64& random) {
  return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

double Draw(const ValueField& field, std::mt19937_64& random) {
  if (field.kind == ValueField::Kind::kUniform)
    return field.a + (field.b - field.a) * Uniform(random);
  // Box-Muller: 1 - u keeps the logarithm's argument above 0.
  const double radius = std::sqrt(-2 * std::log(1 - Uniform(random)));
  const double angle = 2 * 3.14159265358979323846 * Uniform(random);
  return field.a + field.b * radius * std::cos(angle);
}

std::string Joined(const OfferedValue& value, std::mt19937_64* random) {
  std::string text;
  for (const ValueField& field : value) {
    if (!text.empty()) text += ' ';
    text += field.kind == ValueField::Kind::kText ? field.text : ShortNumber(Draw(field, *random));
  }
  return text;
}

}  // namespace

bool VariedInput::HasDraws() const {
  for (const OfferedValue& value : values)
    for (const ValueField& field : value)
      if (field.kind != ValueField::Kind::kText) return true;
  return false;
}

bool ReadVariedInput(const std::string& text, VariedInput& input, std::string& error) {
  const auto fail = [&](const std::string& what) {
    error = "--vary " + text + ": " + what;
    return false;
  };
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0)
    return fail("expected NAME=VALUES, e.g. SAT_MASS=500:1500:250");
  input = VariedInput{Trim(text.substr(0, equals)), {}};
  const std::string written = Trim(text.substr(equals + 1));
  std::string why;
  if (ReadRange(written, input.values, why)) return why.empty() || fail(why);
  for (const std::string& item : ListItems(written)) {
    OfferedValue value;
    if (!ReadOfferedValue(item, value, why)) return fail(why);
    input.values.push_back(value);
  }
  return true;
}

bool SweepPoints::Set(std::vector<VariedInput> inputs, std::size_t draws, std::uint64_t seed,
                      std::string& error) {
  inputs_ = std::move(inputs);
  draws_ = draws;
  seed_ = seed;
  if (draws > kMostFlights) {
    error = "--draws: at most " + std::to_string(kMostFlights) + " flights";
    return false;
  }
  if (draws > 0) {
    count_ = draws;
    return true;
  }
  count_ = 1;
  for (const VariedInput& input : inputs_) {
    if (input.HasDraws()) {
      error = "--vary " + input.name + ": N() and U() are draws: give --draws N";
      return false;
    }
    if (count_ > kMostFlights / input.values.size()) {
      error = "the grid of the --vary options holds more than " + std::to_string(kMostFlights) +
              " flights";
      return false;
    }
    count_ *= input.values.size();
  }
  return true;
}

std::vector<std::string> SweepPoints::ValuesOf(std::size_t flight) const {
  std::vector<std::string> texts(inputs_.size());
  if (draws_ == 0) {
    for (std::size_t i = inputs_.size(); i-- > 0;) {
      const std::vector<OfferedValue>& values = inputs_[i].values;
      texts[i] = Joined(values[flight % values.size()], nullptr);
      flight /= values.size();
    }
    return texts;
  }
  // Every flight has a generator of its own, seeded through seed_seq, whose output the standard
  // fixes: the same seed gives the same draws on every machine that does the same arithmetic.
  std::seed_seq sequence{static_cast<std::uint32_t>(seed_), static_cast<std::uint32_t>(seed_ >> 32),
                         static_cast<std::uint32_t>(flight),
                         static_cast<std::uint32_t>(static_cast<std::uint64_t>(flight) >> 32)};
  std::mt19937_64 random(sequence);
  for (std::size_t i = 0; i < inputs_.size(); ++i) {
    const std::vector<OfferedValue>& values = inputs_[i].values;
    std::size_t pick = 0;
    if (values.size() > 1)
      pick =
          std::min(values.size() - 1,
                   static_cast<std::size_t>(Uniform(random) * static_cast<double>(values.size())));
    texts[i] = Joined(values[pick], &random);
  }
  return texts;
}

}  // namespace zenthar::zsim
