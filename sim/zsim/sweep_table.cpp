#include "sim/zsim/sweep_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_set>

#include "sim/files/text_format.h"
#include "sim/physics/physical_constants.h"
#include "sim/zsim/csv_field.h"
#include "sim/zsim/printable.h"
#include "sim/zsim/write_all.h"

namespace zenthar::zsim {

namespace {

const char* const kOutcomeColumns =
    "result,reached_target,periapsis_km,apoapsis_km,inclination_deg,ignition_s,"
    "booster_separation_s,fairing_jettison_s,satellite_release_s,max_q_kPa,max_q_t_s,"
    "max_accel_g,max_accel_t_s,propellant_left_kg,why";

/// s between two syncs of a growing sweep.csv
const auto kSyncInterval = std::chrono::seconds(1);

void AppendNumber(std::string& line, double value) {
  line += ',';
  if (std::isnan(value)) return;
  char text[kNumberTextSize];
  line.append(text, WriteGeneral(text, value, kCsvDigits));
}

/// A flight number: decimal digits, from 1.
bool ReadFlightNumber(const std::string& text, std::size_t& number) {
  if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  number = std::stoull(text);
  return number > 0;
}

/// Puts a folder's entries on disk: a file made or renamed in it.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

/// The first `size` bytes of a file.
std::string ReadTextPrefix(const std::string& path, std::size_t size) {
  std::ifstream file(path, std::ios::binary);
  std::string text(size, '\0');
  file.read(text.data(), static_cast<std::streamsize>(size));
  text.resize(static_cast<std::size_t>(file.gcount()));
  return text;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

}  // namespace

std::string SweepHeader(const std::vector<std::string>& inputNames) {
  std::string header = "flight";
  for (const std::string& name : inputNames) {
    header += ',';
    AppendCsvField(header, name);
  }
  return header + "," + kOutcomeColumns;
}

std::string SweepRow(std::size_t number, const std::vector<std::string>& values,
                     const FlightOutcome& outcome) {
  std::string row = std::to_string(number);
  for (const std::string& value : values) {
    row += ',';
    AppendCsvField(row, value);
  }
  row += outcome.flown ? ",flown," : ",failed,";
  row += outcome.reached < 0 ? "" : outcome.reached ? "yes" : "no";
  const bool orbit = outcome.flown && outcome.released;
  AppendNumber(row, orbit ? outcome.orbit.periapsisAltitude / 1000 : NAN);
  AppendNumber(row, orbit ? outcome.orbit.apoapsisAltitude / 1000 : NAN);
  AppendNumber(row, orbit ? outcome.orbit.inclination / kDegree : NAN);
  for (double time : {outcome.ignition, outcome.boosterSeparation, outcome.fairingJettison,
                      outcome.satelliteRelease})
    AppendNumber(row, time);
  const bool peaks = outcome.flown;
  AppendNumber(row, peaks ? outcome.maxDynamicPressure.value / 1000 : NAN);
  AppendNumber(row, peaks ? outcome.maxDynamicPressure.time : NAN);
  AppendNumber(row, peaks ? outcome.maxAcceleration.value / kStandardGravity : NAN);
  AppendNumber(row, peaks ? outcome.maxAcceleration.time : NAN);
  AppendNumber(row, outcome.propellantLeft);
  row += ',';
  AppendCsvField(row, Printable(outcome.why));
  return row + "\n";
}

bool RowFlown(const std::string& row, std::size_t inputCount) {
  const std::vector<std::string> fields = CsvFields(row);
  return fields.size() > 1 + inputCount && fields[1 + inputCount] == "flown";
}

bool ReadSweepFile(const std::string& path, std::string& header, std::vector<SweepRowRead>& rows,
                   std::size_t& wholeBytes, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(file), {}};
  rows.clear();
  header.clear();
  wholeBytes = 0;
  // A set, not a vector indexed by number: a planned flight's number may be as large as 1e18.
  std::unordered_set<std::size_t> seen;
  int lineNumber = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;  // unfinished
    const std::string line = text.substr(start, end - start);
    wholeBytes = end + 1;
    start = end + 1;
    if (++lineNumber == 1) {
      header = line;
      continue;
    }
    SweepRowRead row{0, CsvFields(line), line, lineNumber};
    const auto fail = [&](const std::string& why) {
      error = path + ":" + std::to_string(lineNumber) + ": " + why;
      return false;
    };
    if (!ReadFlightNumber(row.fields.front(), row.number))
      return fail("expected a flight number, found '" + Printable(row.fields.front()) + "'");
    if (!seen.insert(row.number).second)
      return fail("flight " + row.fields.front() + " has a row already");
    rows.push_back(std::move(row));
  }
  return true;
}

bool WriteSweepFile(const std::string& path, const std::string& header,
                    std::vector<SweepRowRead> rows, std::string& error) {
  std::sort(rows.begin(), rows.end(),
            [](const SweepRowRead& a, const SweepRowRead& b) { return a.number < b.number; });
  std::string text = header + "\n";
  for (const SweepRowRead& row : rows) text += row.line + "\n";
  const std::string temporary = FolderOf(path) + ".sweep.csv.part";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const bool written = fd >= 0 && WriteAll(fd, text) && fsync(fd) == 0;
  if (fd >= 0) close(fd);
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = path + ": cannot be written";
    return false;
  }
  SyncFolder(FolderOf(path));
  return true;
}

SweepTable::~SweepTable() {
  if (fd_ >= 0) close(fd_);
}

bool SweepTable::Open(const std::string& folder, const Flights& flights, std::string& note,
                      std::string& error) {
  flights_ = flights;
  done_.assign(flights.count, false);
  std::error_code failed;
  std::filesystem::create_directories(folder, failed);
  path_ = folder + "/sweep.csv";
  fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error = path_ + ": cannot be written";
    return false;
  }
  std::string header;
  std::vector<SweepRowRead> rows;
  std::size_t wholeBytes = 0;
  if (!ReadSweepFile(path_, header, rows, wholeBytes, error)) return false;
  // Everything is checked before anything is cut or written: a file of another sweep, or no
  // sweep's at all, stays as it was.
  const std::string& expected = flights.header;
  const off_t size = lseek(fd_, 0, SEEK_END);
  const bool ours = wholeBytes > 0 ? header == expected
                                   : static_cast<std::size_t>(size) <= expected.size() &&
                                         ReadTextPrefix(path_, static_cast<std::size_t>(size)) ==
                                             expected.substr(0, static_cast<std::size_t>(size));
  if (!ours) {
    error = path_ +
            " holds the rows of another sweep, of other inputs or not a sweep's; give "
            "another --out, or remove it";
    return false;
  }
  for (const SweepRowRead& row : rows) {
    const auto fail = [&](const std::string& why) {
      error = path_ + ":" + std::to_string(row.lineNumber) + ": " + why +
              ": another sweep's row; give another --out, or remove it";
      return false;
    };
    if (row.number < flights.first || row.number - flights.first >= flights.count)
      return fail("flight " + std::to_string(row.number) + " is not one of this sweep");
    const std::vector<std::string> values = flights.valuesOf(row.number - flights.first);
    for (std::size_t i = 0; i < values.size(); ++i)
      if (i + 1 >= row.fields.size() || row.fields[i + 1] != values[i])
        return fail("flight " + std::to_string(row.number) + " has other inputs in this sweep");
  }
  if (static_cast<std::size_t>(size) > wholeBytes) {
    // What a machine that went down left of the last row (or of the header): it is written again.
    if (ftruncate(fd_, static_cast<off_t>(wholeBytes)) != 0) {
      error = path_ + ": cannot be written";
      return false;
    }
    note = path_ + ": an unfinished last row was dropped";
  }
  if (wholeBytes == 0) {
    if (!WriteAll(fd_, flights.header + "\n") || fsync(fd_) != 0) {
      error = path_ + ": cannot be written";
      return false;
    }
    SyncFolder(folder);
  }
  for (const SweepRowRead& row : rows) {
    done_[row.number - flights.first] = true;
    ++rows_;
  }
  synced_ = std::chrono::steady_clock::now();
  return true;
}

bool SweepTable::Append(std::size_t number, const std::string& row, std::string& error) {
  const off_t before = lseek(fd_, 0, SEEK_END);
  if (!WriteAll(fd_, row)) {
    // A row written in part (a full disk) is taken back, so the file holds whole rows only.
    const std::string why = std::strerror(errno);
    const bool undone = ftruncate(fd_, before) == 0;
    error = path_ + ": cannot be written: " + why + (undone ? "" : "; its last row is unfinished");
    return false;
  }
  done_[number - flights_.first] = true;
  ++rows_;
  const auto now = std::chrono::steady_clock::now();
  if (now - synced_ >= kSyncInterval) {
    fdatasync(fd_);
    synced_ = now;
  }
  return true;
}

bool SweepTable::Close(std::string& error) {
  const bool synced = fsync(fd_) == 0;
  close(fd_);
  fd_ = -1;
  if (!synced) {
    error = path_ + ": cannot be written";
    return false;
  }
  if (rows_ < flights_.count) return true;
  std::string header;
  std::vector<SweepRowRead> rows;
  std::size_t wholeBytes = 0;
  if (!ReadSweepFile(path_, header, rows, wholeBytes, error)) return false;
  const bool ordered = std::is_sorted(
      rows.begin(), rows.end(),
      [](const SweepRowRead& a, const SweepRowRead& b) { return a.number < b.number; });
  return ordered || WriteSweepFile(path_, header, rows, error);
}

}  // namespace zenthar::zsim
