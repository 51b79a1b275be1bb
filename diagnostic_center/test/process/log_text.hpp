// Reading what the node wrote: console log lines in the default rcutils
// format ("[SEVERITY] [time] [logger]: message") and record directories.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_

#include <filesystem>
#include <string>
#include <vector>

namespace diagnostic_center_test {

std::vector<std::string> SplitLines(const std::string & text);

// The messages of the node's logger at `severity` ("DEBUG", "INFO", "WARN",
// "ERROR"), in order.
std::vector<std::string> LogMessages(const std::string & log, const std::string & severity);

// True when the node logged exactly `message` at `severity`.
bool HasLogLine(const std::string & log, const std::string & severity, const std::string & message);

// The regular files directly inside `dir`.
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path & dir);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__LOG_TEXT_HPP_
