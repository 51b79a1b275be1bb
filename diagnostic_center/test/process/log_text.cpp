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

#include "log_text.hpp"

#include <system_error>

#include "diagnostic_center/contract/names.hpp"

namespace diagnostic_center_test {
namespace {

const std::string kLoggerTag = std::string("[") + diagnostic_center::contract::kNodeName + "]: ";

}  // namespace

std::vector<std::string> SplitLines(const std::string & text)
{
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> LogMessages(const std::string & log, const std::string & severity)
{
  const std::string prefix = "[" + severity + "]";
  std::vector<std::string> messages;
  for (const auto & line : SplitLines(log)) {
    if (line.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const auto tag = line.find(kLoggerTag);
    if (tag != std::string::npos) {
      messages.push_back(line.substr(tag + kLoggerTag.size()));
    }
  }
  return messages;
}

bool HasLogLine(const std::string & log, const std::string & severity, const std::string & message)
{
  for (const auto & logged : LogMessages(log, severity)) {
    if (logged == message) {
      return true;
    }
  }
  return false;
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path & dir)
{
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto & entry : std::filesystem::directory_iterator(dir, error)) {
    if (entry.is_regular_file(error)) {
      files.push_back(entry.path());
    }
  }
  return files;
}

}  // namespace diagnostic_center_test
