#include "probex/server_ping.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"
#include "platform/icmp/icmp.h"
#include "platform/kernel/message_box.h"
#include "platform/kernel/thread.h"
#include "platform/winsock.h"
#include "probex/probex_state.h"
#include "probex/problem_report.h"
#include "probex/problem_word.h"
#include "probex/resource_ids.h"
#include "probex/system_facts.h"
#include "probex/text_format.h"

namespace {

constexpr WORD kWinsockVersion = 0x0101;
constexpr std::size_t kRequestSize = 64;
constexpr BYTE kRequestFill = 0xAA;
constexpr std::size_t kReplySize = 92;
constexpr std::size_t kNameBufferSize = 128;

// What one ping owns: the server text copied at the click and the dialog it reports to.
struct PingJob {
  HWND dialog;
  std::string serverText;
};

int Complain(HWND dialog, const char* text) {
  MessageBoxA(dialog, text, "Probex", MB_ICONEXCLAMATION);
  return -1;
}

// The ping ends as "no connection".
void EndWithoutConnection(HWND dialog) {
  SetDlgItemTextA(dialog, kPingResultText, "NC");
  ShowResultIcon(dialog, kPingIcon, false);
  SetProblem(kProblemPingNoConnection);
  WriteProblemReport(dialog);
}

}  // namespace

void StartPing(HWND dialog) {
  ProbexState& state = Probex();
  if (state.pingRunning.load() || (state.problemWord.load() & kProblemWinsock) != 0) {
    return;
  }
  HWND serverBox = GetDlgItem(dialog, kServerNameText);
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(serverBox)) + 1);
  GetWindowTextA(serverBox, text.data(), static_cast<int>(text.size()));
  SetDlgItemTextA(dialog, kPingResultText, "PINGING");
  state.problemWord.fetch_and(~(kProblemPingSlow | kProblemPingNoConnection));
  state.timedOut = false;
  state.pingRunning = true;
  // The previous worker has cleared the running flag as its last step.
  WaitForPing();
  auto* job = new PingJob{dialog, text.data()};
  state.pingThread = CreateThread(nullptr, 0, &PingThreadProc, job, 0, nullptr);
  if (state.pingThread == nullptr) {
    delete job;
    state.pingRunning = false;
  }
}

int PingServerOnce(HWND dialog, HMODULE icmp, const char* serverText) {
  ProbexState& state = Probex();
  if (serverText == nullptr || *serverText == '\0') {
    return Complain(dialog, "NO SERVER NAME!");
  }
  // A name that the 128-byte buffer cannot hold is no server's name: it is not cut to fit.
  const std::size_t length = std::strlen(serverText);
  winsock::hostent* host = nullptr;
  if (length < kNameBufferSize) {
    char name[kNameBufferSize];
    std::memcpy(name, serverText, length + 1);
    host = winsock::gethostbyname(name);
  }
  if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
    return Complain(dialog, "CAN'T FIND SERVER IP ADDRESS!");
  }
  IPAddr address = 0;
  std::memcpy(&address, host->h_addr_list[0], sizeof address);

  const auto create = reinterpret_cast<IcmpCreateFileProc>(GetProcAddress(icmp, "IcmpCreateFile"));
  const auto close = reinterpret_cast<IcmpCloseHandleProc>(GetProcAddress(icmp, "IcmpCloseHandle"));
  const auto send = reinterpret_cast<IcmpSendEchoProc>(GetProcAddress(icmp, "IcmpSendEcho"));
  if (create == nullptr || close == nullptr || send == nullptr) {
    return Complain(dialog, "UNABLE TO LOCATE ICMP.DLL FUNCTIONS!");
  }
  HANDLE handle = create();
  if (handle == INVALID_HANDLE_VALUE) {
    return Complain(dialog, "UNABLE TO PING!");
  }
  std::vector<BYTE> request(kRequestSize, kRequestFill);
  std::vector<BYTE> reply(kReplySize, 0);
  int result = -1;
  if (send(handle, address, request.data(), static_cast<WORD>(request.size()), nullptr,
           reply.data(), static_cast<DWORD>(reply.size()), kPingTimeoutMs) != 0) {
    ICMP_ECHO_REPLY record;
    std::memcpy(&record, reply.data(), sizeof record);
    result = static_cast<int>(record.RoundTripTime);
  } else if (GetLastError() == IP_REQ_TIMED_OUT) {
    state.timedOut = true;
    ++state.timeOutCount;
  }
  close(handle);
  return result;
}

DWORD PingThreadProc(LPVOID parameter) {
  const std::unique_ptr<PingJob> job(static_cast<PingJob*>(parameter));
  ProbexState& state = Probex();
  HWND dialog = job->dialog;
  winsock::WSADATA data{};
  const bool started = Facts().SocketsStartup(kWinsockVersion, data) == 0;
  // A library that does not load is found by the first echo.
  HMODULE icmp = LoadLibraryA("ICMP.DLL");
  SetDlgItemTextA(dialog, kReportText, "");
  state.timeOutCount = 0;
  // Timed-out echoes count as time-outs and are not added: the average is over the answers.
  DWORD sum = 0;
  DWORD answers = 0;
  bool connected = true;
  for (int echo = 0; echo < kPingEchoes; ++echo) {
    const int roundTrip = PingServerOnce(dialog, icmp, job->serverText.c_str());
    if (roundTrip == -1 && !state.timedOut) {
      EndWithoutConnection(dialog);
      connected = false;
      break;
    }
    if (state.timedOut) {
      SetDlgItemTextA(dialog, kPingResultText, "TO");
    } else {
      sum += static_cast<DWORD>(roundTrip);
      ++answers;
      SetDlgItemTextA(dialog, kPingResultText,
                      FormatText("%dms", static_cast<int>(sum / answers)).c_str());
    }
    state.timedOut = false;
  }
  state.timedOut = false;
  if (connected) {
    const DWORD average = answers != 0 ? sum / answers : 0;
    const bool slow = (answers != 0 && average > kSlowestAveragePingMs) ||
                      state.timeOutCount.load() > kMostTimeOuts;
    if (slow) {
      SetProblem(kProblemPingSlow);
    }
    ShowResultIcon(dialog, kPingIcon, !slow);
    // Without a single answer there is no time to show.
    SetDlgItemTextA(dialog, kPingResultText,
                    answers != 0 ? FormatText("%dms", static_cast<int>(average)).c_str() : "TO");
    WriteProblemReport(dialog);
  }
  if (started) {
    winsock::WSACleanup();
  }
  if (icmp != nullptr) {
    FreeLibrary(icmp);
  }
  state.pingRunning = false;
  return 0;
}

void WaitForPing() {
  ProbexState& state = Probex();
  if (state.pingThread != nullptr) {
    WaitForSingleObject(state.pingThread, INFINITE);
    CloseHandle(state.pingThread);
    state.pingThread = nullptr;
  }
}
