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

// One end of the forwarder: a raw packet socket on a network interface that
// receives every frame the interface receives, whoever it is addressed to,
// and sends frames out of it as they are.
//
// Frames carry their virtio-net header (PACKET_VNET_HDR) in front: a frame a
// host sent on its veth may leave its UDP checksum to the "hardware", and
// the header is what tells the next host so. Passing it along keeps such
// frames valid; without it the receiving host would drop them as corrupt.
#ifndef INTEROP__NETWORK__FORWARDER__PACKET_LINK_HPP_
#define INTEROP__NETWORK__FORWARDER__PACKET_LINK_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace link_forwarder {

class PacketLink
{
public:
  // Throws std::runtime_error naming the interface and the cause.
  explicit PacketLink(const std::string & interface);
  ~PacketLink();
  PacketLink(const PacketLink &) = delete;
  PacketLink & operator=(const PacketLink &) = delete;

  enum class Outcome
  {
    kFrame,      // a frame came in from the wire
    kOwnFrame,   // a frame this host sent out of the interface: not to forward
    kTruncated,  // larger than the buffer
    kNothing,    // no frame waiting (or the link is down)
  };
  struct Reception
  {
    Outcome outcome = Outcome::kNothing;
    std::size_t size = 0;  // of the frame in the buffer, header included
  };

  // Takes the next waiting frame into `buffer` (its size is the capacity)
  // without blocking. Throws std::runtime_error when the interface is gone.
  Reception Receive(std::vector<std::uint8_t> & buffer);

  // Sends a frame taken by Receive (header included). Returns 0 or errno.
  int Send(std::vector<std::uint8_t> & frame);

  int fd() const { return socket_.get(); }
  const std::string & name() const { return name_; }

  // Room for the largest frame, its header included: a GSO frame of 64 KiB.
  static constexpr std::size_t kBufferSize = 65536 + 64;

private:
  // Closes the socket also when the constructor fails half way.
  class Socket
  {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket();
    Socket(const Socket &) = delete;
    Socket & operator=(const Socket &) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
  };

  std::string name_;
  Socket socket_;
};

}  // namespace link_forwarder

#endif  // INTEROP__NETWORK__FORWARDER__PACKET_LINK_HPP_
