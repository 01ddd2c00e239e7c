#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "sim/zsim/sweep_flight.h"

namespace zenthar::zsim {

// sweep.csv: one row per flight of a sweep, the flight's number first, then its inputs, then what
// came of it (docs/SWEEPS.md). A row is one line, written whole.

/// The first line for a sweep of these inputs (their names as given), without its end.
std::string SweepHeader(const std::vector<std::string>& inputNames);

/// One flight's row, its end included: its number (from 1), its inputs' values and its outcome.
std::string SweepRow(std::size_t number, const std::vector<std::string>& values,
                     const FlightOutcome& outcome);

/// Whether a row of a sweep of `inputCount` inputs is of a flight that was flown: read from its
/// result column, never from an input's value (a value may be "failed" or "flown").
bool RowFlown(const std::string& row, std::size_t inputCount);

/// A row of a sweep.csv as read.
struct SweepRowRead {
  std::size_t number;  ///< the flight's
  std::vector<std::string> fields;
  std::string line;  ///< as it stands, without its end
  int lineNumber;    ///< in its file, from 1
};

/// Reads a sweep.csv: its header (without its end) and its whole rows. `wholeBytes` is where the
/// whole lines end: past it stands an unfinished last row (from a machine that went down while
/// writing), or nothing. False with "file:line: why" when a row has no flight number or appears
/// twice.
bool ReadSweepFile(const std::string& path, std::string& header, std::vector<SweepRowRead>& rows,
                   std::size_t& wholeBytes, std::string& error);

/// Writes a sweep.csv whole: the header and the rows in flight order, in a file beside it renamed
/// over it once on disk, so that it is the old file or the new one.
bool WriteSweepFile(const std::string& path, const std::string& header,
                    std::vector<SweepRowRead> rows, std::string& error);

/// The sweep.csv of a running sweep. It grows a whole row at a time (one write each, on disk at
/// least every second), so a sweep stopped at any moment leaves only whole rows; a sweep started
/// again finds the flights it has flown and flies the others.
class SweepTable {
 public:
  /// The flights the table's rows may hold: number n from `first` has the inputs
  /// valuesOf(n - first).
  struct Flights {
    std::string header;  ///< the first line, without its end
    std::size_t first = 1;
    std::size_t count = 0;
    std::function<std::vector<std::string>(std::size_t)> valuesOf;
  };

  SweepTable() = default;
  SweepTable(const SweepTable&) = delete;
  SweepTable& operator=(const SweepTable&) = delete;
  ~SweepTable();

  /// Opens FOLDER/sweep.csv (the folder made when missing), reading the rows already there: false
  /// when they are another sweep's (another header, a flight with other inputs or beyond the
  /// sweep's). An unfinished last row is cut off, and `note` says so.
  bool Open(const std::string& folder, const Flights& flights, std::string& note,
            std::string& error);
  bool Has(std::size_t number) const { return done_[number - flights_.first]; }
  std::size_t rows() const { return rows_; }
  const std::string& path() const { return path_; }

  /// Appends a row with one write; false, the file as it was, when it cannot be written.
  bool Append(std::size_t number, const std::string& row, std::string& error);
  /// Puts the rows on disk, and in flight order when every flight has its row.
  bool Close(std::string& error);

 private:
  Flights flights_;
  std::string path_;
  int fd_ = -1;
  std::vector<bool> done_;
  std::size_t rows_ = 0;
  std::chrono::steady_clock::time_point synced_;
};

}  // namespace zenthar::zsim
