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

// diagctl records: read, filter and print fault-record files.
#include <iostream>

#include "diagctl/commands.hpp"
#include "diagctl/fault_config.hpp"
#include "diagctl/record_filter.hpp"
#include "diagctl/record_output.hpp"
#include "diagctl/record_source.hpp"

namespace diagctl {

namespace {

ArgParser make_parser()
{
  return ArgParser(
      "diagctl records [options] [FILE_OR_DIR...]",
      "Print the fault records the node wrote. Directories are read file by file in\n"
      "name order (which is start-time order). Without a path, the record directory\n"
      "of the --params file is read, else the node's default directory. Records are\n"
      "printed as they are read. Exit status 3: bytes of a file could not be read\n"
      "(read error, NUL bytes, a line over 1 MiB; reported on standard error), so\n"
      "records may be missing.",
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
    if (!add_fault_ids(list, filter.fault_ids, error)) {
      error = "--id: " + error;
      return false;
    }
  }
  if (const auto status = parser.value("status")) {
    filter.status = parse_record_status(*status);
    if (!filter.status) {
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
  const RecordSource source =
      RecordSource::make(parser.positionals(), parser.has("latest"), config ? &*config : nullptr);
  // Each record is printed as it is read, each problem as it is met: the
  // first lines show at once and nothing is kept, whatever the files hold.
  class Printer : public RecordSink
  {
  public:
    explicit Printer(RecordWriter & writer) : writer_(writer) {}
    void record(Record && record) override { writer_.write(record); }
    void issue(RecordIssue && issue) override
    {
      std::cerr << "diagctl: " << issue.describe() << '\n';
    }

  private:
    RecordWriter & writer_;
  };
  const auto writer = RecordWriter::make(std::cout, output);
  Printer printer(*writer);
  const ReadStatus status = stream_record_source(
      source, filter, printer,
      [](const std::string & problem) { std::cerr << "diagctl: " << problem << '\n'; });
  writer->finish();
  if (!status.ok) {
    return kExitFailure;
  }
  return status.incomplete ? kExitIncomplete : kExitOk;
}

}  // namespace diagctl
