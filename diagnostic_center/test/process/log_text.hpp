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

// Reading what the node wrote: console log lines in the default rcutils
// format ("[SEVERITY] [time] [logger]: message") and record directories.
// Pure functions of their input; lines that do not have the format are
// skipped, never an error.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_

#include <filesystem>
#include <string>
#include <vector>

namespace diagnostic_center_test {

// `text` cut at each '\n', without the newlines; no empty last line.
std::vector<std::string> SplitLines(const std::string & text);

// The messages of the node's logger at `severity` ("DEBUG", "INFO", "WARN",
// "ERROR"), in order.
std::vector<std::string> LogMessages(const std::string & log, const std::string & severity);

// True when the node logged exactly `message` at `severity`.
bool HasLogLine(const std::string & log, const std::string & severity, const std::string & message);

// The regular files directly inside `dir`, in directory order; empty when `dir`
// cannot be read.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path & dir);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_
