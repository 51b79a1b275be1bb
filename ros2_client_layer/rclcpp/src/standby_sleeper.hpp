// A sleep whose deadline other threads may move without waking the sleeper.
//
// The executor's standby thread sleeps until a moment shortly after the next
// timer tick, to take over timers if the thread running that tick's batch is
// still busy then. When the batch ends in time, the deadline moves on to the
// next tick; a condition variable's timed wait could only be moved by waking
// the sleeper, once per tick. A timerfd can be re-armed from any thread, and
// an eventfd carries the notifications a condition variable would.
#ifndef CLIENT_LAYER__STANDBY_SLEEPER_HPP_
#define CLIENT_LAYER__STANDBY_SLEEPER_HPP_

#include <chrono>
#include <optional>

namespace client_layer {

class StandbySleeper
{
public:
  using Clock = std::chrono::steady_clock;

  // Throws std::system_error if the descriptors cannot be created.
  StandbySleeper();
  ~StandbySleeper();
  StandbySleeper(const StandbySleeper &) = delete;
  StandbySleeper & operator=(const StandbySleeper &) = delete;

  // Sets the moment at which sleep() returns; a later call replaces it.
  void arm(Clock::time_point deadline);
  // Makes the current or the next sleep() return at once.
  void wake();
  // Sleeps until the armed deadline, a wake(), or `limit`, whichever is first.
  void sleep(std::optional<Clock::time_point> limit);
  // Forgets an expiry or a wake() that sleep() did not consume.
  void clear();

private:
  void close_descriptors();

  int timer_fd_ = -1;
  int event_fd_ = -1;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__STANDBY_SLEEPER_HPP_
