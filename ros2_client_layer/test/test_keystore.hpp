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

// A DDS Security keystore for one test run, made by make_test_keystore.sh
// in a fresh temporary directory for the test's domain, and removed again
// (with everything in it) by the destructor. One owner, not locked.
#ifndef TEST_KEYSTORE_HPP_
#define TEST_KEYSTORE_HPP_

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace layer_test {

class TestKeystore
{
public:
  // Enclaves are names such as "/robot/diag"; each gets every file and
  // permission for every ROS topic on `domain_id`. Throws std::runtime_error
  // when the directory or the keystore cannot be made.
  TestKeystore(unsigned domain_id, const std::vector<std::string> & enclaves)
  {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "layer_keystore_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a directory for the test keystore");
    }
    root_ = pattern;
    std::string command = std::string("bash '") + MAKE_TEST_KEYSTORE + "' '" + path() + "' " +
                          std::to_string(domain_id);
    for (const std::string & enclave : enclaves) {
      command += " '" + enclave + "'";
    }
    if (std::system(command.c_str()) != 0) {
      throw std::runtime_error("make_test_keystore.sh failed: " + command);
    }
  }

  ~TestKeystore()
  {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  TestKeystore(const TestKeystore &) = delete;
  TestKeystore & operator=(const TestKeystore &) = delete;

  // The keystore directory (ROS_SECURITY_KEYSTORE).
  std::string path() const { return root_.string(); }

  // The directory of an enclave ("/robot/diag" -> <keystore>/enclaves/robot/diag).
  std::string enclave_dir(const std::string & enclave) const
  {
    return path() + "/enclaves" + enclave;
  }

private:
  std::filesystem::path root_;
};

}  // namespace layer_test

#endif  // TEST_KEYSTORE_HPP_
