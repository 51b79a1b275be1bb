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

// QoS pairs between the interop peers (diagnostic_center/test/interop): each
// pair runs with every combination of a genuine-built and a layer-built
// publisher and subscriber, at once, on topics of their own. Genuine to
// genuine is the oracle; every pairing with the layer must end the same way:
// whether each side matched and which messages the subscriber holds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace {

using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ScratchDir;

constexpr std::chrono::seconds kDeadline{90};
constexpr const char * kCount = "5";

struct QosPair
{
  const char * name;
  const char * writer;
  const char * reader;
  bool late;  // the writer publishes before the reader exists
  int holds;  // how many samples the reader ends up with
  // The subscriber's and then the publisher's outcome (peer_modes.hpp).
  const char * expected;
};

constexpr const char * kEverything =
    "reader_matched=1 received=1,2,3,4,5 | writer_matched=1 acked=1";
constexpr const char * kIncompatible = "reader_matched=0 received= | writer_matched=0 acked=1";

const QosPair kPairs[] = {
    {"ReliableToReliable", "reliable,keep_all,volatile", "reliable,keep_all,volatile", false, 5,
     kEverything},
    {"ReliableToBestEffort", "reliable,keep_last:10,volatile", "best_effort,keep_last:10,volatile",
     false, 5, kEverything},
    {"BestEffortToBestEffort", "best_effort,keep_all,volatile", "best_effort,keep_all,volatile",
     false, 5, kEverything},
    {"BestEffortToReliable", "best_effort,keep_all,volatile", "reliable,keep_all,volatile", false,
     0, kIncompatible},
    {"KeepLastReaderHoldsTheNewest", "reliable,keep_all,volatile", "reliable,keep_last:2,volatile",
     false, 2, "reader_matched=1 received=4,5 | writer_matched=1 acked=1"},
    {"VolatileToTransientLocal", "reliable,keep_all,volatile", "reliable,keep_all,transient_local",
     false, 0, kIncompatible},
    {"LateReaderGetsKeepLastHistory", "reliable,keep_last:3,transient_local",
     "reliable,keep_all,transient_local", true, 3,
     "reader_matched=1 received=3,4,5 | writer_matched=1 acked=1"},
    {"LateReaderGetsKeepAllHistory", "reliable,keep_all,transient_local",
     "reliable,keep_all,transient_local", true, 5, kEverything},
    {"LateVolatileReaderGetsNoHistory", "reliable,keep_last:3,transient_local",
     "reliable,keep_all,volatile", true, 0,
     "reader_matched=1 received= | writer_matched=1 acked=1"},
};

// gtest names the parameter of a failed test with this.
void PrintTo(const QosPair & pair, std::ostream * out) { *out << pair.name; }

struct Build
{
  const char * name;
  const char * variable;  // names the peer executable
};

const Build kGenuine{"genuine", "GENUINE_INTEROP_PEER"};
const Build kLayer{"layer", "LAYER_INTEROP_PEER"};

std::filesystem::path PeerOf(const Build & build)
{
  return diagnostic_center_test::ExecutableFromEnvironment(build.variable, "");
}

// What a peer printed after "peer: outcome ", or how it failed.
std::string OutcomeOf(ChildProcess & peer, const char * role)
{
  const auto status = peer.WaitForExit(std::chrono::milliseconds(kDeadline));
  const std::string output = peer.Stderr();
  const std::string marker = "peer: outcome ";
  const auto begin = output.find(marker);
  if (!status || !status->exited || status->code != 0 || begin == std::string::npos) {
    return std::string(role) + " " + (status ? status->Describe() : "still running") + ": " +
           output;
  }
  const auto end = output.find('\n', begin);
  return output.substr(begin + marker.size(), end - begin - marker.size());
}

// One pairing of builds for a QoS pair.
class Pairing
{
public:
  Pairing(const QosPair & pair, const Build & writer, const Build & reader, const ScratchDir & dir)
      : pair_(pair),
        label_(std::string(writer.name) + "_to_" + reader.name),
        topic_(std::string("qos/") + pair.name + "/" + label_),
        reader_(reader),
        pub_dir_(dir / (label_ + "_pub")),
        sub_dir_(dir / (label_ + "_sub"))
  {
    std::filesystem::create_directories(pub_dir_);
    std::filesystem::create_directories(sub_dir_);
    std::vector<std::string> arguments{"pub", topic_, pair.writer, kCount};
    if (pair.late) {
      arguments.push_back("late");
    }
    publisher_ = std::make_unique<ChildProcess>(PeerOf(writer), arguments, pub_dir_);
  }

  // Starts the subscriber; a late one once the publisher has published.
  void StartSubscriber()
  {
    if (pair_.late && !publisher_->WaitForStderr("peer: published", kDeadline)) {
      return;  // the outcome shows the publisher's failure
    }
    subscriber_ = std::make_unique<ChildProcess>(
        PeerOf(reader_),
        std::vector<std::string>{"sub", topic_, pair_.reader, std::to_string(pair_.holds)},
        sub_dir_);
  }

  const std::string & label() const { return label_; }

  std::string Outcome()
  {
    const std::string reader =
        subscriber_ ? OutcomeOf(*subscriber_, "subscriber") : "subscriber never started";
    return reader + " | " + OutcomeOf(*publisher_, "publisher");
  }

private:
  const QosPair & pair_;
  std::string label_;
  std::string topic_;
  Build reader_;
  std::filesystem::path pub_dir_;
  std::filesystem::path sub_dir_;
  std::unique_ptr<ChildProcess> publisher_;
  std::unique_ptr<ChildProcess> subscriber_;
};

class QosPairTest : public ::testing::TestWithParam<QosPair>
{
protected:
  void SetUp() override
  {
    for (const Build & build : {kGenuine, kLayer}) {
      ASSERT_FALSE(PeerOf(build).empty()) << build.variable << " is not set";
    }
  }
};

TEST_P(QosPairTest, LayerEndsAsGenuineDoes)
{
  const QosPair & pair = GetParam();
  ScratchDir dir("interop_qos");
  std::vector<std::unique_ptr<Pairing>> pairings;  // the oracle first
  for (const Build & writer : {kGenuine, kLayer}) {
    for (const Build & reader : {kGenuine, kLayer}) {
      pairings.push_back(std::make_unique<Pairing>(pair, writer, reader, dir));
    }
  }
  for (auto & pairing : pairings) {
    pairing->StartSubscriber();
  }

  const std::string oracle = pairings.front()->Outcome();
  EXPECT_EQ(pair.expected, oracle)
      << "genuine to genuine: " << pair.writer << " -> " << pair.reader;
  for (std::size_t i = 1; i < pairings.size(); ++i) {
    EXPECT_EQ(oracle, pairings[i]->Outcome())
        << pairings[i]->label() << ": " << pair.writer << " -> " << pair.reader;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, QosPairTest, ::testing::ValuesIn(kPairs),
    [](const ::testing::TestParamInfo<QosPair> & info) { return std::string(info.param.name); });

}  // namespace
