#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "diagnostic_center/diag_tree.hpp"
#include "rclcpp/logger.hpp"

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using diag_tree::DiagTree;
using diag_tree::FaultConfig;
using diag_tree::FaultTable;

constexpr std::int64_t kMs = 1000000;

FaultConfig Config(std::uint32_t id, std::int32_t root_cause, std::int64_t dis_ms = 500)
{
  FaultConfig config;
  config.fault_id = id;
  config.root_cause = root_cause;
  config.root_cause_time_dis = dis_ms;
  config.fault_desc = "fault " + std::to_string(id);
  return config;
}

// A raise of `id` at `time_ns` nanoseconds since the epoch.
DiagnosticEvent Raise(std::int32_t id, std::int64_t time_ns)
{
  DiagnosticEvent event;
  event.fault_id = id;
  event.status = 1;
  event.stamp.sec = static_cast<std::int32_t>(time_ns / 1000000000);
  event.stamp.nanosec = static_cast<std::uint32_t>(time_ns % 1000000000);
  return event;
}

std::set<std::uint32_t> AsSet(const std::vector<std::uint32_t> & ids)
{
  return {ids.begin(), ids.end()};
}

class DiagTreeTest : public ::testing::Test
{
protected:
  void Configure(std::initializer_list<FaultConfig> configs)
  {
    for (const FaultConfig & config : configs) {
      table_.Insert(config);
    }
  }

  std::set<std::uint32_t> Roots() const { return AsSet(tree_.root_ids()); }
  std::set<std::uint32_t> All() const { return AsSet(tree_.all_ids()); }

  FaultTable table_;
  DiagTree tree_{rclcpp::get_logger("test_diag_tree"), table_};
};

TEST(FaultTableTest, FirstRowForAnIdStays)
{
  FaultTable table;
  EXPECT_TRUE(table.Insert(Config(7, 7)));
  EXPECT_FALSE(table.Insert(Config(7, 9)));
  ASSERT_NE(table.Find(7), nullptr);
  EXPECT_EQ(table.Find(7)->root_cause, 7);
  EXPECT_EQ(table.Find(8), nullptr);
}

// A stamp is sec seconds (signed) plus nanosec nanoseconds (unsigned, and
// not limited to one second) since the epoch.
TEST_F(DiagTreeTest, TimeDistanceCountsSignedSecondsAndUnsignedNanoseconds)
{
  Configure({Config(10, 10), Config(11, 10, 500), Config(12, 10, 500)});
  const auto raise = [](std::int32_t id, std::int32_t sec, std::uint32_t nanosec) {
    DiagnosticEvent event;
    event.fault_id = id;
    event.status = 1;
    event.stamp.sec = sec;
    event.stamp.nanosec = nanosec;
    return event;
  };
  tree_.push(raise(10, 0, 0));
  tree_.push(raise(11, -1, 1'400'000'000u));  // 0.4 s
  tree_.push(raise(12, -3, 3'600'000'000u));  // 0.6 s
  EXPECT_EQ(tree_.parent_id(11), 10u);
  EXPECT_FALSE(tree_.parent_id(12)) << "600 ms is beyond its 500 ms";
}

TEST_F(DiagTreeTest, CheckTimeStampTruncatesToWholeMilliseconds)
{
  EXPECT_TRUE(tree_.CheckTimeStamp(0, 500 * kMs + 900000, 500));  // 500.9 ms
  EXPECT_FALSE(tree_.CheckTimeStamp(0, 501 * kMs, 500));
  EXPECT_TRUE(tree_.CheckTimeStamp(0, 500 * kMs, 500));
  // A sub failure stamped before its root cause always passes.
  EXPECT_TRUE(tree_.CheckTimeStamp(1000000 * kMs, 0, 0));
  // -0.9 ms truncates toward zero, not down to -1.
  EXPECT_TRUE(tree_.CheckTimeStamp(kMs - 100000, 0, 0));
  EXPECT_FALSE(tree_.CheckTimeStamp(0, kMs, 0));
}

TEST_F(DiagTreeTest, SelfRootedFaultsAreAllRoots)
{
  Configure({Config(1, 1), Config(2, 2), Config(3, 3)});
  tree_.push(Raise(1, 0));
  tree_.push(Raise(2, 10 * kMs));
  tree_.push(Raise(3, 20 * kMs));
  EXPECT_EQ(All(), (std::set<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(Roots(), All());
}

TEST_F(DiagTreeTest, SubAttachesOnlyWithinItsOwnDistance)
{
  struct Case
  {
    std::int64_t gap_ns;
    bool attached;
  };
  for (const Case & c :
       {Case{300 * kMs, true}, Case{500 * kMs + 900000, true}, Case{501 * kMs, false},
        Case{600 * kMs, false}}) {
    FaultTable table;
    table.Insert(Config(10, 10, 0));  // the root's own distance must not matter
    table.Insert(Config(11, 10, 500));
    DiagTree tree(rclcpp::get_logger("test_diag_tree"), table);
    tree.push(Raise(10, 1000 * kMs));
    tree.push(Raise(11, 1000 * kMs + c.gap_ns));
    EXPECT_EQ(tree.parent_id(11).has_value(), c.attached) << "gap " << c.gap_ns;
    EXPECT_EQ(AsSet(tree.root_ids()).count(11), c.attached ? 0u : 1u);
  }
}

TEST_F(DiagTreeTest, RootRaisedLaterAdoptsEarlierSubWhateverTheGap)
{
  Configure({Config(10, 10), Config(11, 10), Config(12, 10)});
  tree_.push(Raise(11, 0));
  tree_.push(Raise(12, 5 * kMs));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{11, 12}));
  tree_.push(Raise(10, 3600000 * kMs));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{10}));
  EXPECT_EQ(tree_.parent_id(11), 10u);
  EXPECT_EQ(tree_.parent_id(12), 10u);
}

TEST_F(DiagTreeTest, AttachedSubStaysAttachedWhenRaisedAgainLate)
{
  Configure({Config(10, 10), Config(11, 10)});
  tree_.push(Raise(10, 0));
  tree_.push(Raise(11, 100 * kMs));
  tree_.push(Raise(11, 100000 * kMs));
  EXPECT_EQ(tree_.parent_id(11), 10u);
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{10}));
}

TEST_F(DiagTreeTest, RootOutsideDistanceLeavesSubAsRootUntilSubRaisedAgainInTime)
{
  Configure({Config(10, 10), Config(11, 10)});
  tree_.push(Raise(10, 0));
  tree_.push(Raise(11, 1000 * kMs));
  EXPECT_FALSE(tree_.parent_id(11));
  tree_.push(Raise(10, 900 * kMs));  // the root cause again, now close enough
  EXPECT_EQ(tree_.parent_id(11), 10u);
}

TEST_F(DiagTreeTest, RemovingAParentFreesOnlyItsDirectChildren)
{
  Configure({Config(1, 1), Config(2, 1), Config(3, 2), Config(4, 1)});
  tree_.push(Raise(1, 0));
  tree_.push(Raise(2, kMs));
  tree_.push(Raise(3, 2 * kMs));
  tree_.push(Raise(4, 3 * kMs));
  ASSERT_EQ(tree_.parent_id(3), 2u);

  tree_.remove(1);
  EXPECT_EQ(All(), (std::set<std::uint32_t>{2, 3, 4}));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{2, 4}));
  EXPECT_EQ(tree_.parent_id(3), 2u);
}

TEST_F(DiagTreeTest, RemovingAChildLeavesItsParentAlone)
{
  Configure({Config(1, 1), Config(2, 1)});
  tree_.push(Raise(1, 0));
  tree_.push(Raise(2, kMs));
  tree_.remove(2);
  EXPECT_EQ(All(), (std::set<std::uint32_t>{1}));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
  // A later raise of the child attaches it again.
  tree_.push(Raise(2, 2 * kMs));
  EXPECT_EQ(tree_.parent_id(2), 1u);
}

TEST_F(DiagTreeTest, UnknownRaiseAndAbsentClearChangeNothing)
{
  Configure({Config(1, 1)});
  tree_.push(Raise(1, 0));
  tree_.push(Raise(99, 0));
  tree_.remove(42);
  EXPECT_EQ(All(), (std::set<std::uint32_t>{1}));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
}

TEST_F(DiagTreeTest, FaultIdsAboveInt32RangeMatchTheirSigned32Bits)
{
  const std::uint32_t minus_five = 4294967291u;
  Configure({Config(minus_five, static_cast<std::int32_t>(minus_five)), Config(6, -5)});
  tree_.push(Raise(-5, 0));
  tree_.push(Raise(6, kMs));
  EXPECT_EQ(tree_.parent_id(6), minus_five);
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{minus_five}));
}

TEST_F(DiagTreeTest, TwoFaultsCausingEachOtherKeepOneRoot)
{
  Configure({Config(1, 2), Config(2, 1)});
  // A (1) raised after B (2) within A's distance: A hangs below B, B stays root.
  tree_.push(Raise(2, 0));
  tree_.push(Raise(1, 100 * kMs));
  EXPECT_EQ(tree_.parent_id(1), 2u);
  EXPECT_FALSE(tree_.parent_id(2));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{2}));

  tree_.remove(2);
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
}

TEST_F(DiagTreeTest, TwoFaultsCausingEachOtherLateRaiseBecomesRoot)
{
  Configure({Config(1, 2), Config(2, 1)});
  tree_.push(Raise(2, 0));
  tree_.push(Raise(1, 600 * kMs));  // too late for A: B moves below A instead
  EXPECT_FALSE(tree_.parent_id(1));
  EXPECT_EQ(tree_.parent_id(2), 1u);
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
}

TEST_F(DiagTreeTest, LongerCycleNeverLosesItsRoot)
{
  // 1 <- 2 <- 3 <- 1: each caused by the next.
  Configure({Config(1, 3), Config(2, 1), Config(3, 2)});
  tree_.push(Raise(1, 0));
  tree_.push(Raise(2, kMs));
  tree_.push(Raise(3, 2 * kMs));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
  EXPECT_EQ(tree_.parent_id(2), 1u);
  EXPECT_EQ(tree_.parent_id(3), 2u);
  // Raising the root again must not hang it below its own grandchild.
  tree_.push(Raise(1, 3 * kMs));
  EXPECT_EQ(Roots(), (std::set<std::uint32_t>{1}));
}

// Brute-force model of the attach and detach rules: a linear walk over every
// current failure, with the cycle rule checked by walking up the parents.
class TreeModel
{
public:
  explicit TreeModel(const FaultTable & table) : table_(table) {}

  void push(std::uint32_t id, std::int64_t t)
  {
    const FaultConfig * config = table_.Find(id);
    if (config == nullptr) {
      return;
    }
    nodes_[id].time = t;
    Node & node = nodes_[id];
    const auto cause = static_cast<std::uint32_t>(config->root_cause);
    if (cause != id && !node.parent && nodes_.count(cause) != 0 &&
        Within(nodes_[cause].time, t, config->root_cause_time_dis) &&
        !IsSelfOrAncestor(id, cause)) {
      node.parent = cause;
    }
    for (auto & [other_id, other] : nodes_) {
      const FaultConfig * other_config = table_.Find(other_id);
      if (other_id != id && !other.parent &&
          static_cast<std::uint32_t>(other_config->root_cause) == id &&
          Within(t, other.time, other_config->root_cause_time_dis) &&
          !IsSelfOrAncestor(other_id, id)) {
        other.parent = id;
      }
    }
  }

  void remove(std::uint32_t id)
  {
    if (nodes_.erase(id) == 0) {
      return;
    }
    for (auto & entry : nodes_) {
      if (entry.second.parent == id) {
        entry.second.parent.reset();
      }
    }
  }

  std::set<std::uint32_t> All() const
  {
    std::set<std::uint32_t> ids;
    for (const auto & entry : nodes_) {
      ids.insert(entry.first);
    }
    return ids;
  }

  std::set<std::uint32_t> Roots() const
  {
    std::set<std::uint32_t> ids;
    for (const auto & entry : nodes_) {
      if (!entry.second.parent) {
        ids.insert(entry.first);
      }
    }
    return ids;
  }

  std::optional<std::uint32_t> Parent(std::uint32_t id) const { return nodes_.at(id).parent; }

private:
  struct Node
  {
    std::int64_t time = 0;
    std::optional<std::uint32_t> parent;
  };

  static bool Within(std::int64_t root, std::int64_t sub, std::int64_t dis)
  {
    return (sub - root) / kMs <= dis;
  }

  bool IsSelfOrAncestor(std::uint32_t candidate, std::uint32_t of) const
  {
    for (std::optional<std::uint32_t> up = of; up; up = nodes_.at(*up).parent) {
      if (*up == candidate) {
        return true;
      }
    }
    return false;
  }

  const FaultTable & table_;
  std::map<std::uint32_t, Node> nodes_;
};

TEST(DiagTreeRandomTest, MatchesBruteForceModelAndKeepsInvariants)
{
  constexpr std::uint32_t kIds = 12;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    FaultTable table;
    const std::int64_t distances[] = {0, 50, 500, 5000};
    for (std::uint32_t id = 1; id <= kIds; ++id) {
      // Unconfigured ids (kIds + 1) and cycles of every length occur.
      const auto cause = static_cast<std::int32_t>(rng() % (kIds + 1) + 1);
      table.Insert(Config(id, cause, distances[rng() % 4]));
    }
    // Thousands of raises: keep their INFO lines out of the test log.
    rclcpp::Logger quiet = rclcpp::get_logger("test_diag_tree_random");
    quiet.set_level(rclcpp::Logger::Level::Warn);
    DiagTree tree(quiet, table);
    TreeModel model(table);
    std::int64_t now = 1000000 * kMs;

    for (int step = 0; step < 400; ++step) {
      const std::uint32_t id = rng() % (kIds + 1) + 1;
      now += static_cast<std::int64_t>(rng() % 1200) * kMs - 200 * kMs;
      if (rng() % 3 == 0) {
        tree.remove(id);
        model.remove(id);
      } else {
        tree.push(Raise(static_cast<std::int32_t>(id), now));
        model.push(id, now);
      }

      const auto all = tree.all_ids();
      const auto roots = tree.root_ids();
      ASSERT_EQ(AsSet(all), model.All()) << "seed " << seed << " step " << step;
      ASSERT_EQ(AsSet(roots), model.Roots()) << "seed " << seed << " step " << step;
      ASSERT_EQ(all.size(), AsSet(all).size());
      ASSERT_EQ(roots.size(), AsSet(roots).size());
      for (const std::uint32_t current : all) {
        ASSERT_EQ(tree.parent_id(current), model.Parent(current))
            << "seed " << seed << " step " << step << " id " << current;
        // Every failure reaches a root: no cycles.
        std::optional<std::uint32_t> up = current;
        std::size_t hops = 0;
        while (tree.parent_id(*up)) {
          up = tree.parent_id(*up);
          ASSERT_LE(++hops, all.size());
        }
        ASSERT_EQ(AsSet(roots).count(*up), 1u);
      }
    }
  }
}

}  // namespace
