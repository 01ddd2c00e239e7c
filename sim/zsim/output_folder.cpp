#include "sim/zsim/output_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zenthar::zsim {

namespace fs = std::filesystem;

namespace {

/// The names of the folder's entries that are files (or links) and that `keep` accepts, sorted.
std::vector<std::string> FilesIn(const std::string& folder, OutputFolder::Owns keep,
                                 std::error_code& failure) {
  std::vector<std::string> names;
  for (fs::directory_iterator entry(folder, failure); !failure && entry != fs::directory_iterator();
       entry.increment(failure)) {
    const fs::file_type type = entry->symlink_status(failure).type();
    if (type != fs::file_type::regular && type != fs::file_type::symlink) continue;
    std::string name = entry->path().filename().string();
    if (keep(name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

OutputFolder::~OutputFolder() {
  if (staging_.empty() || keepStaging_) return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);
  // A folder made for a flight that failed goes again (only when empty).
  if (made_ && committed_.empty()) fs::remove(folder_, ignored);
}

bool OutputFolder::Open(const std::string& folder, std::string& error) {
  folder_ = folder;
  std::error_code failure;
  made_ = fs::create_directories(folder, failure);
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
  aside_ = staging_ + "/.earlier";
  return true;
}

std::string OutputFolder::Staged(const std::string& name) const {
  return staging_ + "/" + name;
}

std::string OutputFolder::Final(const std::string& name) const {
  return folder_ + "/" + name;
}

bool OutputFolder::Commit(Owns owns, std::string& error) {
  std::error_code failure;
  committed_.clear();
  const std::vector<std::string> staged = FilesIn(staging_, owns, failure);
  std::vector<std::string> earlier;
  if (!failure) earlier = FilesIn(folder_, owns, failure);
  if (!failure) fs::create_directory(aside_, failure);
  if (failure) {
    error = folder_ + ": cannot be read: " + failure.message();
    return false;
  }

  std::vector<std::string> movedAside;
  std::vector<std::string> movedIn;
  std::string failed;
  for (const std::string& name : earlier) {
    fs::rename(Final(name), aside_ + "/" + name, failure);
    if (failure) {
      failed = name;
      break;
    }
    movedAside.push_back(name);
  }
  for (std::size_t i = 0; failed.empty() && i < staged.size(); ++i) {
    fs::rename(Staged(staged[i]), Final(staged[i]), failure);
    if (failure)
      failed = staged[i];
    else
      movedIn.push_back(staged[i]);
  }
  if (failed.empty()) {
    committed_ = staged;
    return true;
  }
  error = Final(failed) + ": cannot be written: " + failure.message();
  if (Undo(movedIn, movedAside)) {
    error += "; the folder is left as it was";
  } else {
    keepStaging_ = true;
    error += "; the earlier flight's files that could not be put back are in " + aside_;
  }
  return false;
}

bool OutputFolder::Undo(const std::vector<std::string>& movedIn,
                        const std::vector<std::string>& movedAside) {
  bool whole = true;
  std::error_code failure;
  for (const std::string& name : movedIn) {
    fs::rename(Final(name), Staged(name), failure);
    whole = whole && !failure;
  }
  for (const std::string& name : movedAside) {
    fs::rename(aside_ + "/" + name, Final(name), failure);
    whole = whole && !failure;
  }
  return whole;
}

}  // namespace zenthar::zsim
