// The dashboard's record cache gives what a fresh read gives, as files grow,
// appear and go.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "diagctl/record_cache.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

std::string line(const std::string & time, int id, const std::string & status)
{
  return time + " fault_id : " + std::to_string(id) + ", fault_desc : d, status : " + status +
         ", event_msg : m\n";
}

std::string ids(const diagctl::RecordsRead & read)
{
  std::string out;
  for (const auto & record : read.records) {
    out += (out.empty() ? "" : " ") + std::to_string(record.fault_id) +
           (record.status == diagctl::RecordStatus::kFault ? "f" : "p");
  }
  return out;
}

TEST(RecordCache, FollowsFilesThatGrowAppearAndGo)
{
  diagnostic_center_test::ScratchDir scratch;
  const auto dir = scratch / "records";
  std::filesystem::create_directories(dir);
  const auto first = dir / "2026-12-06_10-00-00";
  std::ofstream(first) << line("2026-12-06_10-00-01", 1, "fault");
  diagctl::RecordCache cache(diagctl::RecordSource::make({dir.string()}, false, nullptr));
  diagctl::RecordFilter everything;
  EXPECT_EQ(ids(cache.read(everything)), "1f");

  std::ofstream(first, std::ios::app) << line("2026-12-06_10-00-02", 1, "passed") << "junk\n";
  const auto grown = cache.read(everything);
  EXPECT_EQ(ids(grown), "1f 1p");
  ASSERT_EQ(grown.problems.size(), 1u);
  EXPECT_NE(grown.problems[0].find(":3: skipped"), std::string::npos) << grown.problems[0];

  // The filter applies to what is cached, not to what was kept.
  diagctl::RecordFilter passed;
  passed.status = diagctl::RecordStatus::kPassed;
  EXPECT_EQ(ids(cache.read(passed)), "1p");

  std::ofstream(dir / "2026-12-06_11-00-00") << line("2026-12-06_11-00-01", 2, "fault");
  EXPECT_EQ(ids(cache.read(everything)), "1f 1p 2f");
  std::filesystem::remove(first);
  EXPECT_EQ(ids(cache.read(everything)), "2f");
  EXPECT_EQ(
      ids(cache.read(everything)),
      ids(diagctl::read_record_source(
          diagctl::RecordSource::make({dir.string()}, false, nullptr), everything)));
}

}  // namespace
}  // namespace diagctl_test
