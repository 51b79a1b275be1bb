// The diagctl binary without DDS: help, usage errors, records and dry runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

using diagnostic_center_test::ProcessResult;
using diagnostic_center_test::RunToEnd;
using diagnostic_center_test::ScratchDir;
using diagnostic_center_test::WriteFile;
using std::chrono::seconds;

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
  // An address it cannot listen on fails before DDS is touched.
  const ProcessResult bad_bind = diagctl({"dashboard", "--bind", "192.0.2.1", "--port", "0"});
  EXPECT_EQ(bad_bind.exit_code, 1);
  EXPECT_NE(bad_bind.err.find("cannot listen on 192.0.2.1"), std::string::npos) << bad_bind.err;
  const ProcessResult bad_params = diagctl({"query", "--params", dir_ + "/missing.yaml"});
  EXPECT_EQ(bad_params.exit_code, 1);
  EXPECT_NE(bad_params.err.find("missing.yaml"), std::string::npos);
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
