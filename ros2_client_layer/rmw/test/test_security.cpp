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

// DDS Security of a participant: which enclave files secure it, and secured
// participants on the wire, talking to each other while an unsecured process
// sees nothing. (What an incomplete enclave does under each policy is tested
// through rclcpp, in test_rclcpp_security.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "client_layer/rmw/transport.hpp"
#include "security.hpp"
#include "test_keystore.hpp"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

namespace fs = std::filesystem;

// Creates an empty file, or empties an existing one.
void touch(const fs::path & path) { std::ofstream file(path); }
using detail::Property;
using test::wait_until;

const char * const kRequiredFiles[] = {
    "identity_ca.cert.pem",    "cert.pem",       "key.pem",
    "permissions_ca.cert.pem", "governance.p7s", "permissions.p7s"};

// An enclave directory of empty files, the CA certificate linked in from
// beside it as `ros2 security` links it; the files' contents are Cyclone's
// business, not the layer's.
class EnclaveFiles : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string pattern = (fs::temp_directory_path() / "layer_enclave_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    base_ = pattern;
    enclave_ = (base_ / "enclave").string();
    fs::create_directory(enclave_);
    touch(base_ / "ca.cert.pem");
    fs::create_symlink("../ca.cert.pem", fs::path(enclave_) / "identity_ca.cert.pem");
    for (const char * name : kRequiredFiles) {
      if (!fs::exists(fs::path(enclave_) / name)) {
        touch(fs::path(enclave_) / name);
      }
    }
  }

  void TearDown() override { fs::remove_all(base_); }

  std::string file_uri(const char * name) const { return "file:" + enclave_ + "/" + name; }

  fs::path base_;
  std::string enclave_;
};

TEST_F(EnclaveFiles, EveryFileBecomesAFilePropertyAndARevocationListIsOptional)
{
  const auto properties = detail::security_properties(enclave_);
  ASSERT_TRUE(properties);
  ASSERT_EQ(properties->size(), 15u);  // six files, then three per plugin
  EXPECT_EQ(
      properties->front(), Property("dds.sec.auth.identity_ca", file_uri("identity_ca.cert.pem")));
  EXPECT_EQ(
      properties->back(), Property("dds.sec.access.library.finalize", "finalize_access_control"));

  touch(fs::path(enclave_) / "crl.pem");
  EXPECT_EQ(
      detail::security_properties(enclave_)->back(),
      Property("org.eclipse.cyclonedds.sec.auth.crl", file_uri("crl.pem")));
}

TEST_F(EnclaveFiles, ARequiredFileMissingOrNotAFileGivesNoProperties)
{
  for (const char * name : kRequiredFiles) {
    const fs::path file = fs::path(enclave_) / name;
    const fs::path aside = base_ / name;
    fs::rename(file, aside);
    EXPECT_FALSE(detail::security_properties(enclave_)) << name << " missing";
    fs::create_directory(file);
    EXPECT_FALSE(detail::security_properties(enclave_)) << name << " a directory";
    fs::remove(file);
    fs::create_symlink(base_ / "nowhere", file);
    EXPECT_FALSE(detail::security_properties(enclave_)) << name << " a dangling link";
    fs::remove(file);
    fs::rename(aside, file);
  }
  EXPECT_TRUE(detail::security_properties(enclave_));
  EXPECT_FALSE(detail::security_properties(enclave_ + "/absent"));
}

class Peer : public layer_test::ChildProcess
{
public:
  explicit Peer(const std::vector<std::string> & args) : ChildProcess(RMW_TEST_PEER, args) {}
};

std::shared_ptr<Participant> secured_participant(const std::string & enclave_dir)
{
  ParticipantOptions options;
  options.security.root_path = enclave_dir;
  options.security.enforce = true;
  return Participant::create(test::test_domain_id(), options);
}

TEST(SecuredParticipants, ExchangeSamplesWhileAnUnsecuredProcessSeesNothing)
{
  const layer_test::TestKeystore keystore(test::test_domain_id(), {"/talker", "/echo"});
  // Started first, so that it would have found the secured participants
  // long before their samples if it could.
  Peer watcher({"watch", "rt/secret"});
  ASSERT_EQ(watcher.read_line(), "ready");
  Peer echo({"echo", "rt/secret", "rt/secret_echo", keystore.enclave_dir("/echo")});
  ASSERT_EQ(echo.read_line(), "ready");

  const std::vector<std::uint8_t> secret = test::sample_with_body({0x5e, 0xc7});
  {
    auto participant = secured_participant(keystore.enclave_dir("/talker"));
    const rmw_qos_profile_t qos = test::reliable_keep_last(1000);
    RawWriter writer(participant, "rt/secret", test::kBytesType, qos);
    RawReader reader(participant, "rt/secret_echo", test::kBytesType, qos, nullptr);
    // Every sample written until one came back through the secured peer.
    ASSERT_TRUE(wait_until(
        [&] {
          writer.write(secret.data(), secret.size());
          std::vector<std::uint8_t> echoed;
          const bool got = reader.take(echoed);
          if (!got) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
          return got && echoed == secret;
        },
        std::chrono::seconds(30)));
    EXPECT_EQ(writer.matched_count(), 1u);  // the secured peer's reader, not the watcher's
    ASSERT_TRUE(writer.wait_for_acks(10'000'000'000));
  }

  // The watcher does see an unsecured writer: its first sample is that one's.
  auto plain_participant = Participant::create(test::test_domain_id());
  RawWriter plain(plain_participant, "rt/secret", test::kBytesType, test::reliable_keep_last(10));
  ASSERT_TRUE(wait_until([&] { return plain.matched_count() == 1; }));
  const std::vector<std::uint8_t> plain_sample = test::sample_with_body({0x01});
  ASSERT_TRUE(plain.write(plain_sample.data(), plain_sample.size()));
  EXPECT_EQ(watcher.read_line(), "sample 01");
}

}  // namespace
}  // namespace client_layer::rmw
