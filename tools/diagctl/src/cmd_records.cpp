// diagctl records: read, filter and print fault-record files.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "diagctl/commands.hpp"
#include "diagctl/fault_config.hpp"
#include "diagctl/record_filter.hpp"
#include "diagctl/record_output.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

namespace fs = std::filesystem;

ArgParser make_parser()
{
  return ArgParser(
      "diagctl records [options] [FILE_OR_DIR...]",
      "Print the fault records the node wrote. Directories are read file by file in\n"
      "name order (which is start-time order). Without a path, the record directory\n"
      "of the --params file is read, else the node's default directory.",
      {
          {"params", 'p', "FILE", "the node's parameter file: record directory and descriptions"},
          {"latest", 'l', "", "of each directory, read only the newest file"},
          {"since", '\0', "TIME", "records at or after TIME (YYYY-MM-DD[_HH-MM-SS|' 'HH:MM:SS])"},
          {"until", '\0', "TIME", "records at or before TIME (a date alone: its whole day)"},
          {"id", 'i', "ID[,ID...]", "only these fault ids (repeatable)"},
          {"status", 's', "STATUS", "only \"fault\" or \"passed\" records"},
          {"format", 'f', "FORMAT", "table (default), csv or json"},
          {"json", '\0', "", "same as --format json"},
          {"csv", '\0', "", "same as --format csv"},
          {"unescape", 'u', "", "csv/json: turn the \\n, \\r, \\xHH escapes back into bytes"},
      });
}

[[nodiscard]] bool build_filter(
    const ArgParser & parser, RecordFilter & filter, std::string & error)
{
  if (const auto since = parser.value("since")) {
    filter.since = normalize_record_time(*since, RangeEnd::kSince);
    if (!filter.since) {
      error = "--since: not a time: " + *since;
      return false;
    }
  }
  if (const auto until = parser.value("until")) {
    filter.until = normalize_record_time(*until, RangeEnd::kUntil);
    if (!filter.until) {
      error = "--until: not a time: " + *until;
      return false;
    }
  }
  for (const std::string & list : parser.values("id")) {
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t comma = std::min(list.find(',', start), list.size());
      const std::string text = list.substr(start, comma - start);
      const auto id = parse_int32(text);
      if (!id) {
        error = "--id: not a 32-bit fault id: \"" + text + "\"";
        return false;
      }
      filter.fault_ids.insert(*id);
      start = comma + 1;
    }
  }
  if (const auto status = parser.value("status")) {
    if (*status == "fault") {
      filter.status = RecordStatus::kFault;
    } else if (*status == "passed") {
      filter.status = RecordStatus::kPassed;
    } else {
      error = "--status wants \"fault\" or \"passed\", not \"" + *status + "\"";
      return false;
    }
  }
  return true;
}

[[nodiscard]] bool choose_format(
    const ArgParser & parser, RecordOutputOptions & options, std::string & error)
{
  if (parser.has("json")) {
    options.format = OutputFormat::kJson;
  } else if (parser.has("csv")) {
    options.format = OutputFormat::kCsv;
  } else if (const auto name = parser.value("format")) {
    const auto format = parse_output_format(*name);
    if (!format) {
      error = "--format wants table, csv or json, not \"" + *name + "\"";
      return false;
    }
    options.format = *format;
  }
  options.unescape = parser.has("unescape");
  return true;
}

// The files to read, in order; false when a path cannot be used.
[[nodiscard]] bool list_files(
    const std::vector<std::string> & paths, bool latest_only, std::vector<fs::path> & files)
{
  bool ok = true;
  for (const std::string & path : paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      if (!fs::exists(path, ec)) {
        std::cerr << "diagctl: " << path << ": no such file or directory\n";
        ok = false;
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
      std::cerr << "diagctl: " << path << ": " << ec.message() << '\n';
      ok = false;
      continue;
    }
    std::sort(in_directory.begin(), in_directory.end());
    if (latest_only && !in_directory.empty()) {
      in_directory.erase(in_directory.begin(), in_directory.end() - 1);
    }
    files.insert(files.end(), in_directory.begin(), in_directory.end());
  }
  return ok;
}

}  // namespace

int run_records(const GlobalOptions &, const std::vector<std::string> & arguments)
{
  ArgParser parser = make_parser();
  if (const auto exit = parse_or_exit(parser, "records", arguments)) {
    return *exit;
  }
  std::string error;
  RecordFilter filter;
  RecordOutputOptions output;
  if (!build_filter(parser, filter, error) || !choose_format(parser, output, error)) {
    std::cerr << "diagctl records: " << error << '\n';
    return kExitUsage;
  }

  std::optional<FaultConfig> config;
  if (const auto params = parser.value("params")) {
    config = FaultConfig::load_file(*params, error);
    if (!config) {
      std::cerr << "diagctl records: " << error << '\n';
      return kExitFailure;
    }
  }
  DescriptionLookup lookup;
  if (config) {
    lookup = [&config](std::int32_t id) -> std::optional<std::string> {
      const FaultEntry * entry = config->find(id);
      return entry ? std::optional<std::string>(contract::EscapeRecordText(entry->description))
                   : std::nullopt;
    };
  }

  std::vector<std::string> paths = parser.positionals();
  if (paths.empty()) {
    paths.push_back(config ? config->record_dir() : contract::kDefaultRecordDir);
  }
  std::vector<fs::path> files;
  bool ok = list_files(paths, parser.has("latest"), files);

  std::vector<Record> selected;
  for (const fs::path & file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << "diagctl: " << file.string() << ": cannot be opened\n";
      ok = false;
      continue;
    }
    RecordFileContent content = read_records(in, file.string(), lookup);
    for (const RecordIssue & issue : content.issues) {
      std::cerr << "diagctl: " << issue.file << ':' << issue.line << ": skipped, " << issue.reason
                << '\n';
    }
    std::copy_if(
        std::make_move_iterator(content.records.begin()),
        std::make_move_iterator(content.records.end()), std::back_inserter(selected),
        [&filter](const Record & record) { return filter.matches(record); });
  }
  write_records(std::cout, selected, output);
  return ok ? kExitOk : kExitFailure;
}

}  // namespace diagctl
