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

// The diagctl binary without DDS: help, usage errors, records and dry runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "test_credentials.hpp"

namespace diagctl_test {
namespace {

using diagnostic_center_test::ProcessResult;
using diagnostic_center_test::RunToEnd;
using diagnostic_center_test::ScratchDir;
using diagnostic_center_test::WriteFile;
using std::chrono::seconds;

// Under AddressSanitizer its runtime must be the first library loaded and
// reserves terabytes of address space, so a preloaded shim and a memory
// limit on the child cannot work there; the parser's own tests and the
// fuzzer cover the same code under the sanitizer.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

class CliTest : public ::testing::Test
{
protected:
  ProcessResult diagctl(std::vector<std::string> arguments)
  {
    arguments.insert(arguments.begin(), DIAGCTL_BINARY);
    return RunToEnd(arguments, scratch_.NewSubdir("diagctl"), seconds(10));
  }

  ScratchDir scratch_{"diagctl_test"};
  const std::string dir_ = scratch_.path().string();
};

TEST_F(CliTest, EveryCommandHasHelp)
{
  const ProcessResult top = diagctl({"--help"});
  EXPECT_EQ(top.exit_code, 0);
  for (const char * command :
       {"query", "watch", "raise", "clear", "replay", "fsm", "records", "dashboard"}) {
    EXPECT_NE(top.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    const ProcessResult help = diagctl({command, "--help"});
    EXPECT_EQ(help.exit_code, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("Usage: diagctl ") + command, 0), 0u) << help.out;
    EXPECT_EQ(diagctl({"help", command}).out, help.out);
  }
}

TEST_F(CliTest, UsageErrorsExitWithTwoBeforeTouchingDds)
{
  for (const std::vector<std::string> & arguments : {
           std::vector<std::string>{},
           {"frobnicate"},
           {"raise", "leg_driver", "1"},
           {"raise", "arm_driver", "12abc"},
           {"clear", "arm_driver"},
           {"raise", "arm_driver", "1", "--stamp", "yesterday"},
           {"fsm"},
           {"fsm", "1", "2", "3"},
           {"records", "--status", "broken"},
           {"records", "--since", "noon"},
           {"query", "--bogus"},
           {"watch", "--duration", "0"},
           {"dashboard", "--port", "65536"},
           {"dashboard", "--port", "-1"},
       }) {
    const ProcessResult result = diagctl(arguments);
    EXPECT_EQ(result.exit_code, 2) << (arguments.empty() ? "" : arguments[0]) << ": " << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  const ProcessResult bad_params = diagctl({"query", "--params", dir_ + "/missing.yaml"});
  EXPECT_EQ(bad_params.exit_code, 1);
  EXPECT_NE(bad_params.err.find("missing.yaml"), std::string::npos);
}

// Beyond loopback the dashboard starts only with TLS and an access token from
// a file nobody else can read; all is checked before DDS is touched.
TEST_F(CliTest, DashboardBeyondLoopbackNeedsTlsAndAPrivateToken)
{
  const Credentials made = MakeCredentials(scratch_.NewSubdir("credentials"));
  ASSERT_FALSE(made.token_file.empty());
  const std::string open_token = dir_ + "/open_token";
  std::filesystem::copy_file(made.token_file, open_token);
  std::filesystem::permissions(
      open_token, std::filesystem::perms::group_read | std::filesystem::perms::others_read,
      std::filesystem::perm_options::add);
  const std::vector<std::string> bind = {"dashboard", "--bind", "192.0.2.1", "--port", "0"};
  const auto with = [&bind](std::vector<std::string> extra) {
    extra.insert(extra.begin(), bind.begin(), bind.end());
    return extra;
  };
  const struct
  {
    std::vector<std::string> arguments;
    int exit_code;
    const char * says;
  } cases[] = {
      {bind, 2, "beyond loopback, needs TLS and an access token"},
      {with({"--tls-cert", made.certificate, "--tls-key", made.key}), 2, "needs TLS"},
      {with({"--token-file", made.token_file}), 2, "needs TLS"},
      {with({"--tls-cert", made.certificate, "--token-file", made.token_file}), 2, "go together"},
      {with(
           {"--tls-cert", made.certificate, "--tls-key", made.certificate, "--token-file",
            made.token_file}),
       1, "cannot use the key"},
      {with({"--tls-cert", made.certificate, "--tls-key", made.key, "--token-file", open_token}), 1,
       "chmod 600"},
      {with(
           {"--tls-cert", made.certificate, "--tls-key", made.key, "--token-file",
            dir_ + "/missing"}),
       1, "cannot read the token file"},
      // Past every check: only the address is not this machine's.
      {with(
           {"--tls-cert", made.certificate, "--tls-key", made.key, "--token-file",
            made.token_file}),
       1, "cannot listen on 192.0.2.1"},
  };
  for (const auto & c : cases) {
    const ProcessResult result = diagctl(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.says << ": " << result.err;
    EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
  }
}

TEST_F(CliTest, RecordsReadsTheNodesLinesWithTheConfiguration)
{
  WriteFile(
      dir_ + "/params.yaml",
      "diagnostic_center:\n  ros__parameters:\n    diag_event_list: [1, -5]\n"
      "    1_description: \"tricky, status : fault, event_msg : desc\"\n");
  const std::string records = dir_ + "/records";
  std::filesystem::create_directory(records);
  WriteFile(
      records + "/2031-07-04_09-05-00",
      "2031-07-04_09-04-00 fault_id : 1, fault_desc : old, status : fault, event_msg : a\n");
  WriteFile(
      records + "/2031-07-04_09-05-03",
      "2031-07-04_09-05-07 fault_id : 1, fault_desc : tricky, status : fault, event_msg : desc, "
      "status : passed, event_msg : two\\nlines\n"
      "2031-07-04_09-05-08 fault_id : -5, fault_desc : , status : fault, event_msg : \n"
      "2031-07-04_09-05-09 fault_id : 1, fault_desc : tricky, status : fault, event_msg : desc, "
      "status : fault, event_msg : cut sh");

  const ProcessResult json = diagctl(
      {"records", "--params", dir_ + "/params.yaml", "--latest", "--json", "--unescape", records});
  EXPECT_EQ(json.exit_code, 0) << json.err;
  EXPECT_EQ(json.err, "");
  EXPECT_NE(
      json.out.find(R"("fault_id": 1, "description": "tricky, status : fault, event_msg : desc", )"
                    R"("status": "passed", "message": "two\nlines")"),
      std::string::npos)
      << json.out;
  EXPECT_NE(
      json.out.find(R"("fault_id": -5, "description": "", "status": "fault", "message": "")"),
      std::string::npos);
  EXPECT_NE(json.out.find(R"("message": "cut sh", )"), std::string::npos);
  EXPECT_NE(json.out.find(R"("line": 3, "truncated": true)"), std::string::npos);
  EXPECT_EQ(json.out.find("old"), std::string::npos);  // --latest skips the older run

  // The default directory comes from the parameter file once it names one.
  WriteFile(
      dir_ + "/params.yaml",
      "/**:\n  ros__parameters:\n    diag_event_list: []\n    fault_record_dir: " + records + "\n");
  const ProcessResult csv = diagctl(
      {"records", "--params", dir_ + "/params.yaml", "--csv", "--status", "fault", "--until",
       "2031-07-04_09-05-08"});
  EXPECT_EQ(csv.exit_code, 0) << csv.err;
  EXPECT_EQ(
      csv.out,
      "time,fault_id,description,status,message,file,line,truncated\r\n"
      "2031-07-04_09-04-00,1,old,fault,a," +
          records +
          "/2031-07-04_09-05-00,1,false\r\n"
          // Without its configured description the first status separator ends it.
          "2031-07-04_09-05-07,1,tricky,fault,\"desc, status : passed, event_msg : two\\nlines\"," +
          records +
          "/2031-07-04_09-05-03,1,false\r\n"
          "2031-07-04_09-05-08,-5,,fault,," +
          records + "/2031-07-04_09-05-03,2,false\r\n");

  WriteFile(records + "/junk", "not a record\n");
  const ProcessResult junk = diagctl({"records", records + "/junk", dir_ + "/nothing"});
  EXPECT_EQ(junk.exit_code, 1);
  EXPECT_NE(junk.err.find("junk:1: skipped"), std::string::npos) << junk.err;
  EXPECT_NE(junk.err.find("nothing: no such file"), std::string::npos) << junk.err;
}

// Bytes that cannot be read are reported with their place, what can be read
// is printed, and the exit status says the output is incomplete.
TEST_F(CliTest, RecordsReportsDamageAndRefusesWhatIsNoFile)
{
  const std::string records = dir_ + "/records";
  std::filesystem::create_directory(records);
  const auto line = [](int id) {
    return "2031-07-04_09-05-0" + std::to_string(id) + " fault_id : " + std::to_string(id) +
           ", fault_desc : d, status : fault, event_msg : m\n";
  };
  // Zeroed blocks after a crash, then a restarted node's records.
  const std::string first = line(1) + std::string(4096, '\0') + "\n" + line(2);
  WriteFile(records + "/2031-07-04_09-05-00", first);
  WriteFile(records + "/2031-07-04_09-05-03", line(3) + std::string(2 << 20, 'x') + "\n" + line(4));

  const ProcessResult damaged = diagctl({"records", "--csv", records});
  EXPECT_EQ(damaged.exit_code, 3) << damaged.err;
  EXPECT_EQ(
      damaged.err,
      "diagctl: " + records + "/2031-07-04_09-05-00: byte " + std::to_string(line(1).size()) +
          ": 4096 NUL bytes (a hole or blocks zeroed by a crash), skipped\n"
          "diagctl: " +
          records + "/2031-07-04_09-05-03: byte " + std::to_string(line(3).size()) +
          ": line 2 is 2097152 bytes, longer than 1048576 (no record line is), skipped\n");
  for (const int id : {1, 2, 3, 4}) {
    EXPECT_NE(damaged.out.find("\r\n2031-07-04_09-05-0" + std::to_string(id)), std::string::npos)
        << id << damaged.out;
  }

  // Neither a FIFO (which would block) nor a device (which would never end)
  // is read; a path that cannot be read at all is the plain failure.
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const ProcessResult refused =
      diagctl({"records", fifo, "/dev/zero", records + "/2031-07-04_09-05-00"});
  EXPECT_FALSE(refused.timed_out);
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find(fifo + ": is a FIFO, not a record file"), std::string::npos)
      << refused.err;
  EXPECT_NE(
      refused.err.find("/dev/zero: is a character device, not a record file"), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.out.find("2031-07-04_09-05-02"), std::string::npos) << refused.out;
}

// A read error in the middle of a file, from a disk with a bad stretch: the
// records on both sides of it are printed, the stretch is reported, and the
// exit status says the output is incomplete.
TEST_F(CliTest, RecordsReadOnPastAReadError)
{
  if (kAddressSanitizer) {
    GTEST_SKIP() << "needs a child process without AddressSanitizer's runtime";
  }
  const std::string file = dir_ + "/2031-07-04_09-05-00";
  std::string content;
  for (int i = 0; i < 1000; ++i) {
    content += "2031-07-04_09-05-07 fault_id : " + std::to_string(i) +
               ", fault_desc : d, status : fault, event_msg : m\n";
  }
  WriteFile(file, content);
  const std::size_t bad_from = content.size() / 2;
  const ProcessResult result = RunToEnd(
      {"/usr/bin/env", std::string("LD_PRELOAD=") + BAD_SECTOR_SHIM, "BAD_SECTOR_FILE=" + file,
       "BAD_SECTOR_FROM=" + std::to_string(bad_from),
       "BAD_SECTOR_TO=" + std::to_string(bad_from + 4096), DIAGCTL_BINARY, "records", "--csv",
       file},
      scratch_.NewSubdir("diagctl"), seconds(10));
  EXPECT_EQ(result.exit_code, 3) << result.err;
  const std::string reported = file + ": byte " + std::to_string(bad_from) + ": ";
  const std::size_t at = result.err.find(reported);
  ASSERT_NE(at, std::string::npos) << result.err;
  EXPECT_NE(
      result.err.find(" bytes unreadable (Input/output error), skipped\n", at), std::string::npos)
      << result.err;
  EXPECT_NE(result.out.find(",0,d,fault,m,"), std::string::npos);
  EXPECT_NE(result.out.find(",999,d,fault,m,"), std::string::npos) << "nothing after the stretch";
}

// Records are printed as they are read: the memory diagctl needs does not
// grow with the files. 32 MB of records within 64 MB of data segment.
TEST_F(CliTest, RecordsReadsMoreThanItsMemoryHolds)
{
  if (kAddressSanitizer) {
    GTEST_SKIP() << "needs a child process without AddressSanitizer's runtime";
  }
  const std::string records = dir_ + "/records";
  std::filesystem::create_directory(records);
  const std::string line =
      "2031-07-04_09-05-07 fault_id : 1001, fault_desc : chassis motor bus lost, status : fault, "
      "event_msg : motor bus: no heartbeat from drives 1-4\n";
  const std::size_t count = (32u << 20) / line.size();
  {
    std::string content;
    content.reserve(count * line.size());
    for (std::size_t i = 0; i < count; ++i) {
      content += line;
    }
    WriteFile(records + "/2031-07-04_09-05-00", content);
  }
  for (const std::string format : {"table", "csv", "json"}) {
    SCOPED_TRACE(format);
    const ProcessResult result = RunToEnd(
        {"/bin/bash", "-c",
         "ulimit -d 65536 && set -o pipefail && \"$0\" records --format " + format +
             " \"$1\" | wc -l",
         DIAGCTL_BINARY, records},
        scratch_.NewSubdir("diagctl"), seconds(60));
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // One line per record, plus the header (table, CSV) or the brackets (JSON).
    EXPECT_EQ(result.out, std::to_string(count + (format == "json" ? 2 : 1)) + "\n");
  }
}

TEST_F(CliTest, ShippedScenarioPassesADryRun)
{
  const ProcessResult result = diagctl({"replay", "--dry-run", DIAGCTL_SCENARIO});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("+0.000s raise"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("fsm"), std::string::npos);

  WriteFile(dir_ + "/bad.yaml", "steps:\n  - {at: 0, raise: 1}\n");
  const ProcessResult bad = diagctl({"replay", "--dry-run", dir_ + "/bad.yaml"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.err.find("step 1: \"module\" is missing"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace diagctl_test
