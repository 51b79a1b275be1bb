// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
#ifndef DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_
#define DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_

#include <filesystem>
#include <string>

namespace diagnostic_center_test {

class ScratchDir
{
public:
  explicit ScratchDir(const std::string & prefix = "diagnostic_center");
  ~ScratchDir();
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir & operator=(const ScratchDir &) = delete;

  const std::filesystem::path & path() const { return path_; }
  std::filesystem::path operator/(const std::string & name) const { return path_ / name; }

  // A new empty directory inside, its name beginning with `prefix`: a place
  // of its own for each child process's output files.
  std::filesystem::path NewSubdir(const std::string & prefix) const;

private:
  std::filesystem::path path_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_
