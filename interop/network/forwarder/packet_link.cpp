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

#include "packet_link.hpp"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace link_forwarder {
namespace {

// The virtio-net header in front of every frame, as <linux/virtio_net.h>
// lays it out (that header does not compile as C++): only its first byte,
// the flags, is touched here.
constexpr std::size_t kVnetHeaderSize = 10;
constexpr std::uint8_t kVnetDataValid = 2;  // VIRTIO_NET_HDR_F_DATA_VALID

[[noreturn]] void Fail(const std::string & interface, const std::string & what, int error)
{
  std::string hint;
  if (error == EPERM || error == EACCES) {
    hint = " (raw packet sockets need root or CAP_NET_RAW)";
  }
  throw std::runtime_error(interface + ": " + what + ": " + std::strerror(error) + hint);
}

void SetOption(
    int fd, int level, int name, const void * value, socklen_t size, const std::string & interface,
    const char * what)
{
  if (setsockopt(fd, level, name, value, size) != 0) {
    Fail(interface, what, errno);
  }
}

unsigned InterfaceIndex(const std::string & interface)
{
  const unsigned index = if_nametoindex(interface.c_str());
  if (index == 0) {
    Fail(interface, "no such interface in this network namespace", errno);
  }
  return index;
}

int OpenPacketSocket(const std::string & interface)
{
  const int fd = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL));
  if (fd < 0) {
    Fail(interface, "cannot open a packet socket", errno);
  }
  return fd;
}

}  // namespace

PacketLink::Socket::~Socket() { close(fd_); }

PacketLink::PacketLink(const std::string & interface)
    : name_(interface), socket_(OpenPacketSocket(interface))
{
  const unsigned index = InterfaceIndex(interface);
  const int fd = socket_.get();
  // The header first: it applies to every frame from the bind on.
  const int on = 1;
  SetOption(fd, SOL_PACKET, PACKET_VNET_HDR, &on, sizeof(on), interface, "PACKET_VNET_HDR");
  // Room for a burst: the forwarder drains the socket between held frames.
  const int buffer = 4 << 20;
  SetOption(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer), interface, "SO_RCVBUF");

  sockaddr_ll address{};
  address.sll_family = AF_PACKET;
  address.sll_protocol = htons(ETH_P_ALL);
  address.sll_ifindex = static_cast<int>(index);
  if (bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0) {
    Fail(interface, "cannot bind the packet socket", errno);
  }
  // Frames between the two hosts are addressed to the other host's MAC.
  packet_mreq membership{};
  membership.mr_ifindex = static_cast<int>(index);
  membership.mr_type = PACKET_MR_PROMISC;
  SetOption(
      fd, SOL_PACKET, PACKET_ADD_MEMBERSHIP, &membership, sizeof(membership), interface,
      "promiscuous mode");
}

PacketLink::~PacketLink() = default;

PacketLink::Reception PacketLink::Receive(std::vector<std::uint8_t> & buffer)
{
  sockaddr_ll from{};
  socklen_t from_size = sizeof(from);
  const ssize_t size = recvfrom(
      socket_.get(), buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC,
      reinterpret_cast<sockaddr *>(&from), &from_size);
  if (size < 0) {
    const int error = errno;
    // A link set down reports it once; it is a cut, not an end.
    if (error == EAGAIN || error == EINTR || error == ENETDOWN) {
      return {};
    }
    Fail(name_, "receive failed", error);
  }
  if (from.sll_pkttype == PACKET_OUTGOING) {
    return {Outcome::kOwnFrame, 0};
  }
  if (static_cast<std::size_t>(size) > buffer.size()) {
    return {Outcome::kTruncated, 0};
  }
  return {Outcome::kFrame, static_cast<std::size_t>(size)};
}

int PacketLink::Send(std::vector<std::uint8_t> & frame)
{
  if (frame.size() >= kVnetHeaderSize) {
    // "Checksum verified" describes the receive side only.
    frame[0] &= static_cast<std::uint8_t>(~kVnetDataValid);
  }
  if (send(socket_.get(), frame.data(), frame.size(), 0) < 0) {
    return errno;
  }
  return 0;
}

}  // namespace link_forwarder
