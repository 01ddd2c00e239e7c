#pragma once

#include <chrono>
#include <cstddef>

namespace zenthar::zsim {

/// A sweep's progress as one line that redraws itself on a terminal: a bar, the flights done of
/// all, those that failed, the time left. Shows nothing when standard output is no terminal.
class ProgressBar {
 public:
  /// `total` flights, `done` of them done before this run.
  ProgressBar(std::size_t total, std::size_t done, bool shown);
  /// Redraws the line, at most a few times a second unless `now` says otherwise.
  void Show(std::size_t done, std::size_t failed, bool now = false);
  /// Ends the line, so that what is printed next stands below it.
  void Finish();

 private:
  std::size_t total_;
  std::size_t startedWith_;  ///< done before this run: the rate counts this run's only
  bool shown_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawnAt_;
};

}  // namespace zenthar::zsim
