// Decoding of the query service's payload, a serialized diag_srv.DiagSrvResp.
#ifndef DIAGCTL__DIAG_SRV_PAYLOAD_HPP_
#define DIAGCTL__DIAG_SRV_PAYLOAD_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace diagctl {

// The root-cause ids in payload order; nothing (and `error` set) when the
// bytes are not a DiagSrvResp. Zero bytes are a valid, empty answer.
std::optional<std::vector<std::int32_t>> decode_root_causes(
    const std::string & data, std::string & error);

}  // namespace diagctl

#endif  // DIAGCTL__DIAG_SRV_PAYLOAD_HPP_
