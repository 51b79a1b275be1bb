// Decoding of the query service's payload, a serialized diag_srv.DiagSrvResp
// (proto3: field 1 "root_cause_list", repeated int32), by hand, so that the
// tests check the wire form itself and not only what the generated code
// accepts.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__DIAG_SRV_PAYLOAD_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__DIAG_SRV_PAYLOAD_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace diagnostic_center_test {

// The root causes in payload order; nothing when the bytes are malformed.
// Field 1 is read packed and unpacked; other fields are skipped.
std::optional<std::vector<std::int32_t>> DecodeRootCauseList(const std::string & payload);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__DIAG_SRV_PAYLOAD_HPP_
