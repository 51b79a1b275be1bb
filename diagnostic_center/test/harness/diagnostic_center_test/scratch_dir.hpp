// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away; errors on removal are ignored,
// so that a leftover in /tmp cannot fail a test that passed. One owner, not
// locked.
#ifndef DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_
#define DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_

#include <filesystem>
#include <string>

namespace diagnostic_center_test {

class ScratchDir
{
public:
  // Creates "<tmp>/<prefix>_XXXXXX"; throws std::runtime_error when it cannot.
  explicit ScratchDir(const std::string & prefix = "diagnostic_center");
  ~ScratchDir();
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir & operator=(const ScratchDir &) = delete;

  const std::filesystem::path & path() const { return path_; }
  std::filesystem::path operator/(const std::string & name) const { return path_ / name; }

  // A new empty directory inside, its name beginning with `prefix`: a place
  // of its own for each child process's output files. Throws
  // std::runtime_error when it cannot be created.
  std::filesystem::path NewSubdir(const std::string & prefix) const;

private:
  std::filesystem::path path_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER_TEST__SCRATCH_DIR_HPP_
