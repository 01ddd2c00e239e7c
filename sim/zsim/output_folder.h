#pragma once

#include <string>
#include <vector>

/// The folder a flight's files go to. They are written into a hidden staging folder inside it and
/// moved in together when the flight is done, so the folder never holds a half-written file: a
/// flight that cannot start or fails leaves the files of an earlier flight as they were.
class OutputFolder {
 public:
  OutputFolder() = default;
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;
  /// Removes the staging folder and whatever is still in it.
  ~OutputFolder();

  /// Makes the folder (with its parents) when missing, and the staging folder in it.
  bool Open(const std::string& folder, std::string& error);
  /// Where a file of this name is written until Commit.
  std::string Staged(const std::string& name) const;
  /// Where it is once committed.
  std::string Final(const std::string& name) const;

  /// Moves every staged file into the folder, replacing files of the same name, and removes the
  /// files among `ownNames` that this flight did not write (an earlier flight's plot, say).
  bool Commit(const std::vector<std::string>& ownNames, std::string& error);
  /// The names moved in by Commit, sorted.
  const std::vector<std::string>& committed() const { return committed_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string staging_;
  std::vector<std::string> committed_;
};
