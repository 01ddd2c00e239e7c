#include "sim/zsim/progress_bar.h"

#include <cstdio>
#include <string>

namespace zenthar::zsim {

namespace {

/// characters of the bar itself
const std::size_t kBarWidth = 30;
const auto kRedrawInterval = std::chrono::milliseconds(200);

}  // namespace

ProgressBar::ProgressBar(std::size_t total, std::size_t done, bool shown)
    : total_(total), startedWith_(done), shown_(shown), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::Show(std::size_t done, std::size_t failed, bool now) {
  if (!shown_ || total_ == 0) return;
  const auto time = std::chrono::steady_clock::now();
  if (drawn_ && !now && time - drawnAt_ < kRedrawInterval) return;
  drawn_ = true;
  drawnAt_ = time;
  const std::size_t filled = done * kBarWidth / total_;
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  const double elapsed = std::chrono::duration<double>(time - start_).count();  // s
  const std::size_t flown = done - startedWith_;
  char left[40] = "";
  if (flown > 0 && done < total_)
    std::snprintf(left, sizeof left, ", %.0f s left",
                  elapsed / static_cast<double>(flown) * static_cast<double>(total_ - done));
  std::printf("\r[%s] %zu/%zu flights, %zu failed%s\033[K", bar.c_str(), done, total_, failed,
              left);
  std::fflush(stdout);
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  std::printf("\n");
  drawn_ = false;
}

}  // namespace zenthar::zsim
