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

// The modes of the interoperability peer, a small rclcpp program built both
// on genuine ROS 2 Humble (colcon) and on the client layer, so that tests can
// pair any two implementations. Each mode takes the arguments after its name,
// writes what it does to standard error ("peer: ...") and returns the exit
// status: 0 when everything it received was what it expected.
#ifndef DIAGNOSTIC_CENTER__TEST__INTEROP__PEER_MODES_HPP_
#define DIAGNOSTIC_CENTER__TEST__INTEROP__PEER_MODES_HPP_

namespace protocol_peer {

// Topic and service names, relative to the node's namespace.
constexpr const char * kToPeer = "interop/to_peer/";      // + the type's topic
constexpr const char * kFromPeer = "interop/from_peer/";  // + the type's topic
constexpr const char * kService = "interop/diagnostic_srv";

// echo: subscribes to kToPeer<topic> for every corvanta_protocol message
// type, checks each message against the shared samples (in order) and
// republishes it on kFromPeer<topic>; serves kService with the shared
// answers. Prints "peer: matched" once every topic is matched both ways,
// runs until SIGINT or SIGTERM, then prints what it received and returns 0
// only when that was every sample and every request, each as expected.
int RunEcho(int argc, char ** argv);

// call: calls kService with every shared request and checks each answer;
// 0 when all were as expected.
int RunCall(int argc, char ** argv);

// pub <name> <qos> <count> [late]: publishes DiagnosticEvents with fault_id
// 1..count on <name>/data; with "late" at once, before any subscriber, else
// once the subscriber (sub mode) says it is ready. Then waits for the data to
// be acknowledged, tells the subscriber on <name>/done, prints
// "peer: outcome writer_matched=<0|1>" and stays until the subscriber left.
int RunPublisher(int argc, char ** argv);

// sub <name> <qos> <expected count>: subscribes to <name>/data; once the
// publisher shows in the graph, waits a bounded time for the match and says
// so on <name>/ready. Takes no sample until <name>/done arrives, then waits
// for the expected count of samples (or, expecting none, a bounded time) and
// prints "peer: outcome reader_matched=<0|1> received=<fault ids>".
int RunSubscriber(int argc, char ** argv);

}  // namespace protocol_peer

#endif  // DIAGNOSTIC_CENTER__TEST__INTEROP__PEER_MODES_HPP_
