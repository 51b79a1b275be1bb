#include "diagctl/record_source.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace fs = std::filesystem;
namespace contract = diagnostic_center::contract;

std::vector<fs::path> list_record_files(const RecordSource & source, RecordsRead & read)
{
  std::vector<fs::path> files;
  for (const std::string & path : source.paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      if (!fs::exists(path, ec)) {
        read.problems.push_back(path + ": no such file or directory");
        read.ok = false;
        continue;
      }
      files.emplace_back(path);
      continue;
    }
    std::vector<fs::path> in_directory;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) {
        in_directory.push_back(it->path());
      }
    }
    if (ec) {
      read.problems.push_back(path + ": " + ec.message());
      read.ok = false;
      continue;
    }
    std::sort(in_directory.begin(), in_directory.end());
    if (source.latest_only && !in_directory.empty()) {
      in_directory.erase(in_directory.begin(), in_directory.end() - 1);
    }
    files.insert(files.end(), in_directory.begin(), in_directory.end());
  }
  return files;
}

RecordSource RecordSource::make(
    std::vector<std::string> paths, bool latest_only, const FaultConfig * config)
{
  RecordSource source;
  source.paths = std::move(paths);
  if (source.paths.empty()) {
    source.paths.push_back(config ? config->record_dir() : contract::kDefaultRecordDir);
  }
  source.latest_only = latest_only;
  if (config) {
    source.lookup = [config](std::int32_t id) -> std::optional<std::string> {
      const FaultEntry * entry = config->find(id);
      return entry ? std::optional<std::string>(contract::EscapeRecordText(entry->description))
                   : std::nullopt;
    };
  }
  return source;
}

bool read_record_file(
    const fs::path & file, const DescriptionLookup & lookup, RecordFileContent & content,
    std::string & problem)
{
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    problem = file.string() + ": cannot be opened";
    return false;
  }
  content = read_records(in, file.string(), lookup);
  return true;
}

void take_records(
    const RecordFileContent & content, const RecordFilter & filter, RecordsRead & read)
{
  for (const RecordIssue & issue : content.issues) {
    read.problems.push_back(
        issue.file + ':' + std::to_string(issue.line) + ": skipped, " + issue.reason);
  }
  std::copy_if(
      content.records.begin(), content.records.end(), std::back_inserter(read.records),
      [&filter](const Record & record) { return filter.matches(record); });
}

RecordsRead read_record_source(const RecordSource & source, const RecordFilter & filter)
{
  RecordsRead read;
  for (const fs::path & file : list_record_files(source, read)) {
    RecordFileContent content;
    std::string problem;
    if (!read_record_file(file, source.lookup, content, problem)) {
      read.problems.push_back(problem);
      read.ok = false;
      continue;
    }
    take_records(content, filter, read);
  }
  return read;
}

}  // namespace diagctl
