#include "tools/testserver/standard_login.h"

#include "common/messages.h"

namespace testserver {
namespace {

ScriptStep Step(std::optional<std::uint32_t> after_type, std::uint32_t address, std::uint32_t type,
                PayloadPiece payload) {
  ScriptStep step;
  step.after_type = after_type;
  step.action = TcpMessage(address, type, {});
  step.action.payload = {std::move(payload)};
  return step;
}

}  // namespace

std::vector<ScriptStep> StandardLoginSteps() {
  return {
      Step(std::nullopt, kNetworkAddress, MSG_UDP_PORT, UdpPortPiece()),
      Step(std::nullopt, KIND_SESSION, MSG_CONNECTED, BytesPiece({})),
      Step(MSG_LOGIN, KIND_SESSION, MSG_PARAM_TABLE, ParamWordsPiece(0, kParameterWordCount)),
      Step(MSG_LOGIN, KIND_SESSION, GLOBAL_PARAMS_PASS, GlobalParamsPiece(std::nullopt)),
  };
}

}  // namespace testserver
