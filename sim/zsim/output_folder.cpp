#include "sim/zsim/output_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

OutputFolder::~OutputFolder() {
  if (staging_.empty()) return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);
}

bool OutputFolder::Open(const std::string& folder, std::string& error) {
  folder_ = folder;
  std::error_code failure;
  fs::create_directories(folder, failure);
  if (failure || !fs::is_directory(folder)) {
    error = folder + ": cannot make the output folder" +
            (failure ? ": " + failure.message() : std::string(": not a folder"));
    return false;
  }
  std::string pattern = folder + "/.zsim-staging-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = folder + ": cannot write into the output folder";
    return false;
  }
  staging_ = pattern;
  return true;
}

std::string OutputFolder::Staged(const std::string& name) const {
  return staging_ + "/" + name;
}

std::string OutputFolder::Final(const std::string& name) const {
  return folder_ + "/" + name;
}

bool OutputFolder::Commit(const std::vector<std::string>& ownNames, std::string& error) {
  std::error_code failure;
  committed_.clear();
  for (const fs::directory_entry& entry : fs::directory_iterator(staging_, failure))
    if (entry.is_regular_file()) committed_.push_back(entry.path().filename().string());
  std::sort(committed_.begin(), committed_.end());
  for (const std::string& name : committed_) {
    fs::rename(Staged(name), Final(name), failure);
    if (failure) {
      error = Final(name) + ": cannot be written: " + failure.message();
      return false;
    }
  }
  for (const std::string& name : ownNames) {
    if (std::find(committed_.begin(), committed_.end(), name) != committed_.end()) continue;
    fs::remove(Final(name), failure);
  }
  return true;
}
