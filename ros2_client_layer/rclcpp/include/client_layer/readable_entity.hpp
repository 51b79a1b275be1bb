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

// Base of the entities an executor runs when their DDS reader has data:
// subscriptions, services and clients.
#ifndef CLIENT_LAYER__READABLE_ENTITY_HPP_
#define CLIENT_LAYER__READABLE_ENTITY_HPP_

#include <atomic>
#include <memory>

#include "client_layer/notifier.hpp"

namespace client_layer {

class ReadableEntity
{
public:
  // `notifier` is the callback group's; it must be given before the reader
  // exists, since the reader may call back at once.
  explicit ReadableEntity(std::shared_ptr<Notifier> notifier) : notifier_(std::move(notifier)) {}
  virtual ~ReadableEntity() = default;

  // True when the reader signalled data that has not been taken yet.
  bool has_pending_data() const { return pending_->load(std::memory_order_acquire); }

  // The same flag, shared so that an executor can look at it without
  // holding the entity; it outlives the entity.
  std::shared_ptr<const std::atomic<bool>> pending_flag() const { return pending_; }

  // Takes at most one sample and handles it. Runs on an executor thread with
  // no executor lock held.
  void execute_one()
  {
    // Cleared before the take so that data arriving meanwhile sets it again.
    pending_->store(false, std::memory_order_release);
    if (take_and_handle()) {
      pending_->store(true, std::memory_order_release);  // there may be more
    }
  }

  // Executor bookkeeping: set while an executor thread owns the entity.
  std::atomic<bool> & in_use() { return in_use_; }

protected:
  // Returns true if a sample was taken (valid or not).
  virtual bool take_and_handle() = 0;

  // Called by the reader's data callback (a middleware thread), once per
  // sample. Only the first sample since the last take wakes the executor:
  // while the flag stays set, an executor thread has been told already or is
  // running this entity and looks at it again when done.
  void on_data_available()
  {
    if (!pending_->exchange(true, std::memory_order_acq_rel)) {
      notifier_->notify();
    }
  }

private:
  const std::shared_ptr<std::atomic<bool>> pending_ = std::make_shared<std::atomic<bool>>(false);
  std::atomic<bool> in_use_{false};
  const std::shared_ptr<Notifier> notifier_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__READABLE_ENTITY_HPP_
