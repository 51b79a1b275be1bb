#include "diagctl/diag_srv_payload.hpp"

#include "robot/diag_srv.pb.h"

namespace diagctl {

std::optional<std::vector<std::int32_t>> decode_root_causes(
    const std::string & data, std::string & error)
{
  diag_srv::DiagSrvResp response;
  if (!response.ParseFromString(data)) {
    error = "the answer's payload (" + std::to_string(data.size()) +
            " bytes) is not a diag_srv.DiagSrvResp";
    return std::nullopt;
  }
  return std::vector<std::int32_t>(
      response.root_cause_list().begin(), response.root_cause_list().end());
}

}  // namespace diagctl
