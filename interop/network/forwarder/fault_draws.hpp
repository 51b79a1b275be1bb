// The forwarder's dice: whether a frame is lost and, if not, how long it is
// held back. Seeded, so that a run's draws can be repeated.
#ifndef INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_
#define INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

#include "forwarder_options.hpp"

namespace link_forwarder {

class FaultDraws
{
public:
  explicit FaultDraws(std::uint64_t seed) : engine_(seed) {}

  // How long to hold the next frame under `impairment`, or nothing when it
  // is lost.
  std::optional<std::chrono::microseconds> Draw(const Impairment & impairment);

private:
  std::mt19937_64 engine_;
};

}  // namespace link_forwarder

#endif  // INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_
