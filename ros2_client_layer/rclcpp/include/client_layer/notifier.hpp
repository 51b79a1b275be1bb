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

// How entities, callback groups and nodes wake the executor that runs them.
//
// An executor implements Waker. When it takes a node or a callback group, it
// attaches itself to that object's Notifier; entities share their group's
// Notifier, so a reader's data callback or a timer reset reaches the right
// executor without knowing it.
#ifndef CLIENT_LAYER__NOTIFIER_HPP_
#define CLIENT_LAYER__NOTIFIER_HPP_

#include <memory>
#include <mutex>

namespace client_layer {

class Waker
{
public:
  virtual ~Waker() = default;
  // `collection_changed`: groups or entities were added, so the executor
  // must look at its nodes and groups again.
  virtual void wake(bool collection_changed) = 0;
};

class Notifier
{
public:
  void attach(const std::shared_ptr<Waker> & waker)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waker_ = waker;
  }

  void detach()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waker_.reset();
  }

  void notify(bool collection_changed = false) const
  {
    std::shared_ptr<Waker> waker;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      waker = waker_.lock();
    }
    if (waker) {
      waker->wake(collection_changed);
    }
  }

private:
  mutable std::mutex mutex_;
  std::weak_ptr<Waker> waker_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__NOTIFIER_HPP_
