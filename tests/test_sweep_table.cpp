// sweep.csv as the store of a sweep: it grows whole rows only, a sweep started again finds the
// flights it has, a torn last row is cut off, and a file of anything else is refused untouched.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/zsim/csv_field.h"
#include "sim/zsim/sweep_table.h"
#include "tests/support/temp_folder.h"

using namespace zenthar::zsim;

namespace {

std::string TextOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(CsvField, FieldsComeBackAsTheyWereWritten) {
  const std::vector<std::vector<std::string>> rows = {
      {"a", "b"},
      {"", "", ""},
      {"a,b", "\"quoted\"", ""},
      {"line\nbreak", "carriage\rreturn", "\r\n"},
      {"\x1b[31m", "tab\there", "\x01"},
      {"\"", ",", "\"\"", ",\","},
  };
  for (const std::vector<std::string>& fields : rows) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) line += ',';
      AppendCsvField(line, fields[i]);
    }
    EXPECT_EQ(CsvFields(line), fields) << line;
    // The file writer quotes as the line builder does.
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) std::fputc(',', file);
      PutCsvField(file, fields[i]);
    }
    std::string written(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
    std::fclose(file);
    EXPECT_EQ(written, line);
  }
}

TEST(SweepRow, FlownIsReadFromTheResultColumnWhateverTheInputsHold) {
  struct Case {
    std::vector<std::string> values;
    bool flown;
  };
  const std::vector<Case> cases = {
      {{"ok"}, true},
      {{"ok"}, false},
      {{"failed"}, true},
      {{"flown"}, false},
      {{"a,failed,b"}, true},
      {{"failed", "flown"}, false},
      {{"flown", "failed"}, true},
  };
  for (const Case& c : cases) {
    FlightOutcome outcome;
    outcome.flown = c.flown;
    outcome.why = c.flown ? "" : "flown";
    const std::string row = SweepRow(7, c.values, outcome);
    EXPECT_EQ(RowFlown(row, c.values.size()), c.flown) << row;
  }
}

/// A sweep of SAT_MASS over four flights, flight n with the mass 100 n.
SweepTable::Flights FourFlights() {
  SweepTable::Flights flights;
  flights.header = SweepHeader({"SAT_MASS"});
  flights.count = 4;
  flights.valuesOf = [](std::size_t index) {
    return std::vector<std::string>{std::to_string(100 * (index + 1))};
  };
  return flights;
}

std::string Row(std::size_t number) {
  return std::to_string(number) + "," + std::to_string(100 * number) + ",flown\n";
}

TEST(SweepTable, StartedAgainFindsItsRowsAndCutsOffATornOne) {
  TempFolder folder;
  const SweepTable::Flights flights = FourFlights();
  const std::string header = flights.header + "\n";
  std::string note, error;
  {
    SweepTable table;
    ASSERT_TRUE(table.Open(folder.path(), flights, note, error)) << error;
    EXPECT_EQ(TextOf(table.path()), header);
    ASSERT_TRUE(table.Append(4, Row(4), error)) << error;
    ASSERT_TRUE(table.Append(2, Row(2), error)) << error;
    ASSERT_TRUE(table.Close(error)) << error;
  }
  const std::string path = folder / "sweep.csv";
  EXPECT_EQ(TextOf(path), header + Row(4) + Row(2)) << "rows in the order they land";
  std::ofstream(path, std::ios::app) << Row(3).substr(0, 4);  // a machine gone down mid-write

  SweepTable table;
  ASSERT_TRUE(table.Open(folder.path(), flights, note, error)) << error;
  EXPECT_NE(note.find("an unfinished last row was dropped"), std::string::npos) << note;
  EXPECT_EQ(table.rows(), 2u);
  const bool has[] = {false, true, false, true};
  for (std::size_t n = 1; n <= 4; ++n) EXPECT_EQ(table.Has(n), has[n - 1]) << n;
  EXPECT_EQ(TextOf(path), header + Row(4) + Row(2));
  ASSERT_TRUE(table.Append(3, Row(3), error)) << error;
  ASSERT_TRUE(table.Append(1, Row(1), error)) << error;
  ASSERT_TRUE(table.Close(error)) << error;
  EXPECT_EQ(TextOf(path), header + Row(1) + Row(2) + Row(3) + Row(4))
      << "put in flight order once every flight has its row";
}

TEST(SweepTable, RefusesAnotherSweepsFileAndLeavesItAsItWas) {
  const SweepTable::Flights flights = FourFlights();
  const std::string header = flights.header + "\n";
  struct {
    std::string text;  ///< sweep.csv before the sweep starts
    const char* says;  ///< the refusal's words, or empty when the sweep goes on
  } const cases[] = {
      {header.substr(0, 10), ""},  // a header torn: written again
      {header + Row(1) + Row(3), ""},
      {"flight,PAD,result\n1,5 5,flown\n", "holds the rows of another sweep"},
      {"flight,PAD,result\n1,5 5,flown\n2,5 ", "holds the rows of another sweep"},
      {"notes of my own, no line end", "holds the rows of another sweep"},
      {header + "1,999,flown\n", "sweep.csv:2: flight 1 has other inputs in this sweep"},
      {header + Row(1) + Row(5), "sweep.csv:3: flight 5 is not one of this sweep"},
      {header + Row(1) + "0,100,flown\n", "sweep.csv:3: expected a flight number, found '0'"},
      {header + "x1,100\n", "sweep.csv:2: expected a flight number, found 'x1'"},
      {header + Row(2) + Row(2), "sweep.csv:3: flight 2 has a row already"},
      // A planned flight's number may be this large; the table is no vector indexed by it.
      {header + "999999999999999999,100,flown\n", "flight 999999999999999999 is not one of"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    std::ofstream(folder / "sweep.csv", std::ios::binary) << c.text;
    SweepTable table;
    std::string note, error;
    const bool opened = table.Open(folder.path(), flights, note, error);
    EXPECT_EQ(opened, *c.says == 0) << c.text << ": " << error;
    if (!opened) {
      EXPECT_NE(error.find(c.says), std::string::npos) << error;
      EXPECT_EQ(TextOf(folder / "sweep.csv"), c.text) << "a refused file is not touched";
    } else {
      EXPECT_EQ(TextOf(folder / "sweep.csv").substr(0, header.size()), header);
    }
  }
}

}  // namespace
