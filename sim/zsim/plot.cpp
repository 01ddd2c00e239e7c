#include "sim/zsim/plot.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "sim/files/text_format.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

/// Any text as a gnuplot string expression. Pieces between quotes go in single quotes, where
/// gnuplot substitutes nothing (no backquotes, no macros), joined by a quote in double quotes:
/// gnuplot 5.4 misreads runs of doubled quotes inside single quotes, so none are written.
std::string Quoted(const std::string& text) {
  std::string expression = "'";
  for (char c : text) expression += c == '\'' ? std::string("' . \"'\" . '") : std::string(1, c);
  return expression + "'";
}

/// Lines of text as one gnuplot string expression, control characters escaped, joined by line
/// breaks.
std::string QuotedLines(const std::vector<std::string>& lines) {
  std::string expression;
  for (const std::string& line : lines)
    expression += (expression.empty() ? "" : " . \"\\n\" . ") + Quoted(Printable(line));
  return expression.empty() ? "''" : expression;
}

const char* const kTelemetryCsv = "telemetry.csv";
const char* const kPng = "flight.png";
const char* const kScript = "flight.gp.part";
const char* const kLog = "gnuplot.log.part";

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string folders(path);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t colon = folders.find(':', start);
    if (colon == std::string::npos) colon = folders.size();
    const std::string folder = colon > start ? folders.substr(start, colon - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = colon + 1;
  }
  return {};
}

std::string FirstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

/// Runs gnuplot in the folder on the script there, its output going to the log there; its exit
/// status, or -1.
int RunGnuplot(const std::string& gnuplot, const std::string& folder) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    const int out = open(kLog, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
      close(out);
    }
    execl(gnuplot.c_str(), "gnuplot", kScript, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Panel {
  const char* ylabel;
  const char* columns;  ///< the columns of gnuplot's using clause
  const char* colour;
};

const Panel kPanels[] = {
    {"altitude (km)", "1:($2/1000)", "#1f77b4"}, {"speed (m/s)", "1:3", "#2ca02c"},
    {"acceleration (m/s²)", "1:5", "#ff7f0e"},   {"mass (t)", "1:($6/1000)", "#9467bd"},
    {"thrust (MN)", "1:($8/1e6)", "#d62728"},
};

}  // namespace

std::vector<PlotMark> PlotMarks(const std::vector<FlightEvent>& events, double closeness) {
  std::vector<PlotMark> marks;
  bool ignited = false;
  std::vector<std::string> named;
  for (const FlightEvent& event : events) {
    if (event.atLoad) continue;
    std::string label;
    if (event.kind == "engine" && event.detail != "0" && !ignited) {
      ignited = true;
      label = "ignition";
    } else if (*event.milestone) {
      label = event.milestone;
    }
    if (label.empty()) continue;
    bool seen = false;
    for (const std::string& name : named) seen = seen || name == label;
    if (seen) continue;
    named.push_back(label);
    if (!marks.empty() && event.time - marks.back().time < closeness)
      marks.back().label += " + " + label;
    else
      marks.push_back(PlotMark{event.time, label});
  }
  return marks;
}

std::string GnuplotScript(const PlotRequest& request) {
  const std::string data = Quoted(kTelemetryCsv);
  std::string script;
  script += "set terminal pngcairo noenhanced size 1200,1500 font 'Sans,11'\n";
  script += "set output " + Quoted(kPng) + "\n";
  script += "set datafile separator comma\n";
  script += "set multiplot layout 5,1 margins 0.08,0.97,0.05,0.95 spacing 0,0.012 title " +
            QuotedLines(request.titleLines) + " font ',14'\n";
  script += "set xrange [0:" + FormatDouble(request.endTime > 0 ? request.endTime : 1.0) + "]\n";
  script += "set grid lc rgb '#dddddd'\nset ytics nomirror\nunset key\nset format x ''\n";
  script += "set style textbox opaque noborder margins 1,1\n";  // names stay legible over curves
  for (std::size_t i = 0; i < request.marks.size(); ++i) {
    const std::string number = FormatDouble(request.marks[i].time);
    script += "set arrow " + std::to_string(i + 1) + " from first " + number +
              ", graph 0 to first " + number +
              ", graph 1 nohead lc rgb '#555555' dashtype 2 front\n";
    // Names stand right of their line, unless that would run into the frame.
    const bool leftOfLine = request.marks[i].time > 0.97 * request.endTime;
    script += "set label " + std::to_string(i + 1) + " " + Quoted(request.marks[i].label) +
              " at first " + number + ", graph 0.97 right rotate by 90 offset " +
              (leftOfLine ? "-1.1" : "1.3") + ",0 front boxed tc rgb '#333333'\n";
  }
  const std::size_t count = sizeof kPanels / sizeof kPanels[0];
  for (std::size_t i = 0; i < count; ++i) {
    const Panel& panel = kPanels[i];
    if (i == 1) script += "unset label\n";
    if (i + 1 == count) script += "set format x '%g'\nset xlabel 'time (s)'\n";
    script += std::string("set ylabel '") + panel.ylabel + "'\n";
    script += "plot " + data + " skip 1 using " + panel.columns + " with lines lw 2 lc rgb '" +
              panel.colour + "'\n";
  }
  script += "unset multiplot\n";
  return script;
}

PlotOutcome DrawPlot(const PlotRequest& request, std::string& message) {
  return RunPlotScript(request.folder, GnuplotScript(request), kPng, message);
}

PlotOutcome RunPlotScript(const std::string& folder, const std::string& text, const char* pngName,
                          std::string& message) {
  const std::string gnuplot = FindOnPath("gnuplot");
  if (gnuplot.empty()) return PlotOutcome::kNoGnuplot;
  const std::string script = folder + "/" + kScript;
  const std::string log = folder + "/" + kLog;
  const std::string png = folder + "/" + pngName;
  {
    std::ofstream file(script);
    if (!(file << text) || !file.flush()) {
      std::remove(script.c_str());
      message = script + ": cannot be written";
      return PlotOutcome::kFailed;
    }
  }
  const int status = RunGnuplot(gnuplot, folder);
  std::remove(script.c_str());
  const std::string complaint = FirstLine(log);
  std::remove(log.c_str());
  if (status == 0 && IsCompletePng(png)) return PlotOutcome::kDrawn;
  const bool incomplete = status == 0 && access(png.c_str(), F_OK) == 0;
  std::remove(png.c_str());
  if (incomplete) {
    message = "gnuplot left it incomplete (is the disk full?)";
    return PlotOutcome::kIncomplete;
  }
  message =
      "gnuplot " +
      (status < 0 ? std::string("did not run") : "failed (exit " + std::to_string(status) + ")") +
      (complaint.empty() ? "" : ": " + complaint);
  return PlotOutcome::kFailed;
}

PlotOutcome DrawFromData(const std::string& folder, const char* dataName, const std::string& data,
                         const std::string& script, const char* png, std::string& message) {
  std::string stage = folder + "/.zsim-plot-XXXXXX";
  if (!mkdtemp(stage.data())) {
    message = folder + ": cannot be written";
    return PlotOutcome::kFailed;
  }
  const std::string dataPath = stage + "/" + dataName;
  PlotOutcome outcome = PlotOutcome::kFailed;
  {
    std::ofstream file(dataPath);
    if (!(file << data) || !file.flush()) message = dataPath + ": cannot be written";
  }
  if (message.empty()) outcome = RunPlotScript(stage, script, png, message);
  const std::string drawn = stage + "/" + png;
  const std::string final = folder + "/" + png;
  if (outcome == PlotOutcome::kDrawn && std::rename(drawn.c_str(), final.c_str()) != 0) {
    message = final + ": cannot be written";
    outcome = PlotOutcome::kIncomplete;
  }
  std::remove(drawn.c_str());
  std::remove(dataPath.c_str());
  rmdir(stage.c_str());
  return outcome;
}

std::string GnuplotText(const std::vector<std::string>& lines) {
  return QuotedLines(lines);
}

bool IsCompletePng(const std::string& path) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  // An empty IEND chunk: length 0, its type, its CRC.
  static const unsigned char kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82};
  std::ifstream file(path, std::ios::binary);
  unsigned char head[8] = {};
  unsigned char tail[12] = {};
  if (!file.read(reinterpret_cast<char*>(head), sizeof head)) return false;
  if (!file.seekg(-static_cast<std::streamoff>(sizeof tail), std::ios::end)) return false;
  if (!file.read(reinterpret_cast<char*>(tail), sizeof tail)) return false;
  return std::equal(head, head + sizeof head, kSignature) &&
         std::equal(tail, tail + sizeof tail, kEnd);
}

}  // namespace zenthar::zsim
