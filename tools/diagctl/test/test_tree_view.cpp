// The tree document: nesting, levels, counts, times and escaping.
#include <gtest/gtest.h>

#include <string>

#include "diagctl/tree_view.hpp"

namespace diagctl_test {
namespace {

using corvanta_protocol::msg::DiagnosisEntry;
using corvanta_protocol::msg::DiagnosisTree;

builtin_interfaces::msg::Time stamp(std::int32_t sec, std::uint32_t nanosec = 0)
{
  builtin_interfaces::msg::Time time;
  time.sec = sec;
  time.nanosec = nanosec;
  return time;
}

DiagnosisEntry entry(std::int32_t id, std::int32_t parent, std::int32_t raised_sec)
{
  DiagnosisEntry e;
  e.fault_id = id;
  e.parent_id = parent;
  e.raised_at = stamp(raised_sec);
  e.module = "/m" + std::to_string(id);
  return e;
}

std::chrono::system_clock::time_point at(std::int64_t sec, std::int64_t nanos = 0)
{
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(sec) + std::chrono::nanoseconds(nanos)));
}

TEST(TreeView, WholeDocumentOfARootWithOneConsequence)
{
  DiagnosisTree tree;
  tree.stamp = stamp(1796438400, 123456789);  // 2026-12-05T02:40:00.123456789Z
  DiagnosisEntry root = entry(7, 7, 1796438398);
  root.description = "lidar lost";
  root.event_msg = "timeout";
  DiagnosisEntry child = entry(8, 7, 1796438398);
  child.raised_at.nanosec = 500000000;
  tree.entries = {root, child};

  EXPECT_EQ(
      diagctl::tree_json(tree, at(1796438400, 123000000)),
      "{\"stamp\": \"2026-12-05T02:40:00.123456789Z\", \"root_causes\": 1, \"consequences\": 1, "
      "\"failures\": [{\"fault_id\": 7, \"level\": \"error\", \"description\": \"lidar lost\", "
      "\"module\": \"/m7\", \"raised_at\": \"2026-12-05T02:39:58.000000000Z\", \"age_s\": 2.123, "
      "\"event_msg\": \"timeout\", \"children\": [{\"fault_id\": 8, \"level\": \"warn\", "
      "\"description\": \"\", \"module\": \"/m8\", \"raised_at\": "
      "\"2026-12-05T02:39:58.500000000Z\", \"age_s\": 1.623, \"event_msg\": \"\", "
      "\"children\": []}]}]}");
}

TEST(TreeView, DepthFirstEntriesNestAtEveryLevelAndRootsKeepTheirOrder)
{
  DiagnosisTree tree;
  tree.entries = {
      entry(20, 20, 0), entry(21, 20, 0), entry(22, 21, 0), entry(23, 20, 0), entry(5, 5, 0)};
  const std::string json = diagctl::tree_json(tree, at(0));
  EXPECT_NE(json.find("\"root_causes\": 2, \"consequences\": 3"), std::string::npos) << json;
  // 22 inside 21 inside 20; 23 a sibling of 21; 5 the second root.
  const auto pos = [&](const std::string & text) { return json.find(text); };
  EXPECT_LT(pos("\"fault_id\": 20"), pos("\"fault_id\": 21"));
  EXPECT_NE(json.find("\"fault_id\": 22, \"level\": \"warn\""), std::string::npos);
  EXPECT_NE(json.find("\"children\": []}]}, {\"fault_id\": 23"), std::string::npos) << json;
  EXPECT_NE(json.find("]}, {\"fault_id\": 5, \"level\": \"error\""), std::string::npos) << json;
}

TEST(TreeView, OrphansAndCyclesAreListedOnceAtTheTopAsConsequences)
{
  DiagnosisTree tree;
  tree.entries = {entry(1, 99, 0), entry(2, 3, 0), entry(3, 2, 0)};
  const std::string json = diagctl::tree_json(tree, at(0));
  EXPECT_NE(json.find("\"root_causes\": 0, \"consequences\": 3"), std::string::npos) << json;
  for (const char * id : {"\"fault_id\": 1,", "\"fault_id\": 2,", "\"fault_id\": 3,"}) {
    const auto first = json.find(id);
    ASSERT_NE(first, std::string::npos) << id;
    EXPECT_EQ(json.find(id, first + 1), std::string::npos) << id << " twice in " << json;
  }
}

TEST(TreeView, EmptyTreeAndTimesAtTheEdges)
{
  DiagnosisTree tree;
  tree.stamp = stamp(0, 1999999999);  // an out-of-range nanosec carries over
  EXPECT_EQ(
      diagctl::tree_json(tree, at(0)),
      "{\"stamp\": \"1970-01-01T00:00:01.999999999Z\", \"root_causes\": 0, \"consequences\": 0, "
      "\"failures\": []}");
  // Raised after "now" (clocks disagree): a negative age, as it is.
  tree.entries = {entry(1, 1, 10)};
  EXPECT_NE(
      diagctl::tree_json(tree, at(8, 500000000)).find("\"age_s\": -1.500"), std::string::npos);
  EXPECT_EQ(diagctl::iso8601_utc(stamp(-1, 0)), "1969-12-31T23:59:59.000000000Z");
}

TEST(TreeView, StringsAreEscapedAndInvalidUtf8Replaced)
{
  DiagnosisTree tree;
  DiagnosisEntry e = entry(1, 1, 0);
  e.description = std::string("a\"b\\c\x01\n\xff\xc3\xa9");
  e.module = std::string("/x\x7f", 3);
  e.event_msg = std::string("nul\0end", 7);
  tree.entries = {e};
  const std::string json = diagctl::tree_json(tree, at(0));
  EXPECT_NE(
      json.find("\"description\": \"a\\\"b\\\\c\\u0001\\n\\ufffd\xc3\xa9\""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"module\": \"/x\\u007f\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"event_msg\": \"nul\\u0000end\""), std::string::npos) << json;
}

}  // namespace
}  // namespace diagctl_test
