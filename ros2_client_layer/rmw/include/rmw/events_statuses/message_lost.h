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

// rmw's message-lost status, as a subscription's event callback receives it.
#ifndef RMW__EVENTS_STATUSES__MESSAGE_LOST_H_
#define RMW__EVENTS_STATUSES__MESSAGE_LOST_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct rmw_message_lost_status_s
{
  size_t total_count;         // messages lost since the subscription was made
  size_t total_count_change;  // of which since the callback last ran
} rmw_message_lost_status_t;

#ifdef __cplusplus
}
#endif

#endif  // RMW__EVENTS_STATUSES__MESSAGE_LOST_H_
