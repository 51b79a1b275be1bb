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

#include "diagnostic_center_test/scratch_dir.hpp"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace diagnostic_center_test {
namespace {

std::filesystem::path MakeUniqueDirectory(
    const std::filesystem::path & parent, const std::string & prefix)
{
  std::string pattern = (parent / (prefix + "_XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error(std::string("mkdtemp failed: ") + std::strerror(errno));
  }
  return pattern;
}

}  // namespace

ScratchDir::ScratchDir(const std::string & prefix)
    : path_(MakeUniqueDirectory(std::filesystem::temp_directory_path(), prefix))
{
}

ScratchDir::~ScratchDir()
{
  std::error_code ignored;
  // Directories a test made unreadable must become removable again.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      std::filesystem::permissions(
          it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
          ignored);
    }
  }
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir::NewSubdir(const std::string & prefix) const
{
  return MakeUniqueDirectory(path_, prefix);
}

}  // namespace diagnostic_center_test
