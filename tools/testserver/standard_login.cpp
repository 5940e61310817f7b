#include "tools/testserver/standard_login.h"

#include "common/messages.h"

namespace testserver {
namespace {

ScriptStep MakeStep(std::optional<std::uint32_t> afterType, std::uint32_t address,
                    std::uint32_t type, PayloadPiece payload) {
  ScriptStep step;
  step.afterType = afterType;
  step.action = MakeTcpMessage(address, type, {});
  step.action.payload = {std::move(payload)};
  return step;
}

}  // namespace

std::vector<ScriptStep> MakeStandardLoginSteps() {
  return {
      MakeStep(std::nullopt, kNetworkAddress, MSG_UDP_PORT, MakeUdpPortPiece()),
      MakeStep(std::nullopt, KIND_SESSION, MSG_CONNECTED, MakeBytesPiece({})),
      MakeStep(MSG_LOGIN, KIND_SESSION, MSG_PARAM_TABLE,
               MakeParamWordsPiece(0, kParameterWordCount)),
      MakeStep(MSG_LOGIN, KIND_SESSION, GLOBAL_PARAMS_PASS, MakeGlobalParamsPiece(std::nullopt)),
  };
}

}  // namespace testserver
