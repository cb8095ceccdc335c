// Builds into a temporary file beside the target and puts it in the
// target's place only once it is complete, so a failed or interrupted build
// never leaves the target damaged or missing.
#pragma once

#include <string>

namespace kea {

class TemporaryTarget {
 public:
  explicit TemporaryTarget(std::string target) : target_(std::move(target)) {}
  // Removes the temporary file unless it was committed.
  ~TemporaryTarget();
  TemporaryTarget(const TemporaryTarget&) = delete;
  TemporaryTarget& operator=(const TemporaryTarget&) = delete;

  // Creates a new, empty file with a unique name in the target's folder (the
  // current folder when the target names none). False, with the reason in
  // `error`, when no such file can be made.
  bool create(std::string* error);

  // The temporary file's path (empty before create()).
  const std::string& path() const { return path_; }
  const std::string& target() const { return target_; }

  // Moves the temporary file over the target. False, with the reason in
  // `error`, when the move fails; the target is then left as it was and the
  // temporary file goes with this object.
  bool commit(std::string* error);

 private:
  std::string target_;
  std::string path_;
  bool committed_ = false;
};

}  // namespace kea
