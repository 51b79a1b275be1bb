// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__SCRATCH_DIR_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__SCRATCH_DIR_HPP_

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

private:
  std::filesystem::path path_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__SCRATCH_DIR_HPP_
