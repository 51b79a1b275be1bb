// Samples from the network that the layer could not decode. They are
// dropped, counted here and never reach a callback.
#ifndef CLIENT_LAYER__SAMPLE_COUNTERS_HPP_
#define CLIENT_LAYER__SAMPLE_COUNTERS_HPP_

#include <cstdint>

namespace client_layer {

// Malformed samples dropped by subscriptions, services and clients of this process.
std::uint64_t dropped_malformed_samples();

void count_malformed_sample();

}  // namespace client_layer

#endif  // CLIENT_LAYER__SAMPLE_COUNTERS_HPP_
