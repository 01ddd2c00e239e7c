#pragma once

#include <string>
#include <vector>

namespace zenthar::zsim {

/// The folder a flight's files go to. They are written into a hidden staging folder inside it and
/// moved in together when the flight is done, so the folder never holds a half-written file, nor
/// files of two flights: a flight that cannot start or fails leaves the folder as it was.
class OutputFolder {
 public:
  /// Which file names belong to a flight; files of the folder so named that this flight did not
  /// write are an earlier flight's and go when it commits.
  using Owns = bool (*)(const std::string& name);

  OutputFolder() = default;
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;
  /// Removes the staging folder and whatever is still in it, unless a failed commit could not
  /// put the earlier files back (they are kept there then); and the folder itself when Open
  /// made it and nothing was committed.
  ~OutputFolder();

  /// Makes the folder (with its parents) when missing, and the staging folder in it.
  bool Open(const std::string& folder, std::string& error);
  /// Where a file of this name is written until Commit.
  std::string Staged(const std::string& name) const;
  /// Where it is once committed.
  std::string Final(const std::string& name) const;

  /// Replaces the folder's flight files as a whole: the files it owns are moved aside, then the
  /// staged files it owns move in (anything else staged goes with the staging folder). When a move
  /// fails, every move made is undone and the folder is as it was, with the reason in `error`.
  bool Commit(Owns owns, std::string& error);
  /// The names moved in by Commit, sorted.
  const std::vector<std::string>& committed() const { return committed_; }
  const std::string& folder() const { return folder_; }

 private:
  /// Moves back what a failed commit moved; false when some file could not be moved back.
  bool Undo(const std::vector<std::string>& movedIn, const std::vector<std::string>& movedAside);

  std::string folder_;
  std::string staging_;
  std::string aside_;  ///< where the earlier flight's files wait during a commit
  bool keepStaging_ = false;
  bool made_ = false;  ///< the folder did not exist before Open
  std::vector<std::string> committed_;
};

}  // namespace zenthar::zsim
