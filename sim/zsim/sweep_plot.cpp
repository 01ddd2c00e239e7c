#include "sim/zsim/sweep_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/files/text_reader.h"
#include "sim/zsim/csv_field.h"
#include "sim/zsim/sweep_table.h"

namespace zenthar::zsim {

namespace {

/// The most panels of one picture: one per varied input.
const std::size_t kMostPanels = 6;
const char* const kData = "sweep.dat";

/// The columns of sweep.csv the plot reads, by name.
struct Columns {
  std::size_t inputs = 0;  ///< the varied inputs stand in columns 1 to inputs
  std::size_t periapsis = 0, apoapsis = 0, reached = 0;
};

bool FindColumns(const std::string& header, Columns& columns) {
  const std::vector<std::string> names = CsvFields(header);
  const auto at = [&names](const char* name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
  };
  columns.inputs = at("result") - 1;
  columns.periapsis = at("periapsis_km");
  columns.apoapsis = at("apoapsis_km");
  columns.reached = at("reached_target");
  return columns.apoapsis < names.size() && columns.inputs < names.size();
}

/// A field as gnuplot data: the number, or '?' for none.
std::string DataField(const std::string& field) {
  double value = 0;
  return ParseNumber(field, value) && std::isfinite(value) ? field : "?";
}

}  // namespace

PlotOutcome DrawSweepPlot(const std::string& folder, const std::string& title,
                          std::string& message) {
  std::string header;
  std::vector<SweepRowRead> rows;
  std::size_t wholeBytes = 0;
  Columns columns;
  if (!ReadSweepFile(folder + "/sweep.csv", header, rows, wholeBytes, message) ||
      !FindColumns(header, columns)) {
    if (message.empty()) message = folder + "/sweep.csv: not a sweep's";
    return PlotOutcome::kFailed;
  }
  // The inputs that are one number in every row get a panel each.
  std::vector<std::size_t> panels;
  for (std::size_t input = 1; input <= columns.inputs && panels.size() < kMostPanels; ++input) {
    bool numbers = true;
    for (const SweepRowRead& row : rows) {
      double value = 0;
      numbers = numbers && input < row.fields.size() && ParseNumber(row.fields[input], value);
    }
    if (numbers) panels.push_back(input);
  }
  // Data: the flight's number, every input, periapsis, apoapsis, and the apoapsis again for the
  // flights that missed their target.
  std::string data;
  for (const SweepRowRead& row : rows) {
    if (row.fields.size() <= columns.apoapsis) continue;
    data += row.fields[0];
    for (std::size_t input = 1; input <= columns.inputs; ++input)
      data += " " + DataField(row.fields[input]);
    data += " " + DataField(row.fields[columns.periapsis]) + " " +
            DataField(row.fields[columns.apoapsis]) + " " +
            (row.fields[columns.reached] == "no" ? DataField(row.fields[columns.apoapsis]) : "?") +
            "\n";
  }
  bool anyOrbit = false;
  for (const SweepRowRead& row : rows)
    anyOrbit = anyOrbit || (row.fields.size() > columns.apoapsis &&
                            DataField(row.fields[columns.apoapsis]) != "?");
  if (!anyOrbit) {
    message = "no flight put its satellite into an orbit";
    return PlotOutcome::kFailed;
  }
  const std::size_t periapsis = columns.inputs + 2;  // gnuplot counts columns from 1
  const std::vector<std::string> names = CsvFields(header);
  const std::size_t count = std::max<std::size_t>(panels.size(), 1);
  std::string script = "set terminal pngcairo noenhanced size 1000," +
                       std::to_string(120 + 330 * count) + " font 'Sans,11'\n";
  script += "set output '" + std::string("sweep.png") + "'\n";
  script += "set datafile missing '?'\n";
  script += "set multiplot layout " + std::to_string(count) + ",1 title " + GnuplotText({title}) +
            " font ',14'\n";
  script += "set grid lc rgb '#dddddd'\nset key outside right top\n";
  script += "set offsets graph 0.05, graph 0.05, graph 0.05, 0\n";  // points off the frame
  script += "set ylabel 'altitude (km)'\n";
  for (std::size_t i = 0; i < count; ++i) {
    const std::string x = panels.empty() ? "1" : std::to_string(panels[i] + 1);
    script += "set xlabel " +
              (panels.empty() ? std::string("'flight'") : GnuplotText({names[panels[i]]})) + "\n";
    script += "plot '" + std::string(kData) + "' using " + x + ":" + std::to_string(periapsis) +
              " with points pt 7 ps 0.7 lc rgb '#1f77b4' title 'periapsis', '' using " + x + ":" +
              std::to_string(periapsis + 1) +
              " with points pt 7 ps 0.7 lc rgb '#ff7f0e' title 'apoapsis', '' using " + x + ":" +
              std::to_string(periapsis + 2) +
              " with points pt 6 ps 1.4 lc rgb '#d62728' title 'target missed'\n";
  }
  script += "unset multiplot\n";
  return DrawFromData(folder, kData, data, script, "sweep.png", message);
}

}  // namespace zenthar::zsim
