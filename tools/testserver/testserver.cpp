// testserver [--address A] [--port N] [--script FILE]: serves one client on a loopback address,
// plays the script and prints every message the client sends, until the connection ends or the
// program is interrupted.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "tools/testserver/catalogue_names.h"
#include "tools/testserver/server_params.h"
#include "tools/testserver/test_server.h"

namespace {

std::atomic<bool> gInterrupted{false};

void OnSignal(int) { gInterrupted = true; }

struct Options {
  std::string address = "127.0.0.1";
  std::uint16_t port = 0;
  std::string scriptFile;
};

int PrintUsage() {
  std::fprintf(stderr, "usage: testserver [--address 127.x.y.z] [--port N] [--script FILE]\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (i + 1 >= argc) {
      return false;
    }
    const char* value = argv[++i];
    if (name == "--address") {
      options.address = value;
    } else if (name == "--port") {
      char* end = nullptr;
      const unsigned long port = std::strtoul(value, &end, 10);
      if (*value == '\0' || *end != '\0' || port > 65535) {
        return false;
      }
      options.port = static_cast<std::uint16_t>(port);
    } else if (name == "--script") {
      options.scriptFile = value;
    } else {
      return false;
    }
  }
  return true;
}

void Print(const testserver::ReceivedMessage& message) {
  const bool udp = message.transport == testserver::Transport::kUdp;
  std::printf("%8u %s 0x%X %s %u", message.atMs, udp ? "udp" : "tcp", message.address,
              testserver::GetMessageTypeName(message.type).c_str(), message.length);
  if (udp) {
    std::printf(" seq %u", message.sequence);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    return PrintUsage();
  }
  testserver::Script script;
  if (!options.scriptFile.empty()) {
    // A folder opens as a stream on Linux and reads as empty: refuse it by name.
    std::error_code ignored;
    const bool folder = std::filesystem::is_directory(options.scriptFile, ignored);
    std::ifstream file(options.scriptFile, std::ios::binary);
    if (folder || !file) {
      std::fprintf(stderr, "testserver: cannot open %s: %s\n", options.scriptFile.c_str(),
                   folder ? "it is a folder, not a file" : std::strerror(errno));
      return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();
    auto parsed = testserver::ParseScript(text.str());
    if (const auto* error = std::get_if<testserver::ScriptError>(&parsed)) {
      std::fprintf(stderr, "testserver: %s: %s\n", options.scriptFile.c_str(),
                   testserver::DescribeError(*error).c_str());
      return 2;
    }
    script = std::move(std::get<testserver::Script>(parsed));
  }

  const std::array<std::uint32_t, 500> words = MakeServerParamWords();
  testserver::TestServer server(words, MakeServerGlobalParamsPayload());
  if (!server.Start(options.address, options.port, std::move(script))) {
    std::fprintf(stderr, "testserver: %s\n", server.Error().c_str());
    return 1;
  }
  std::printf("testserver: listening on %s tcp port %u udp port %u\n", options.address.c_str(),
              server.TcpPort(), server.UdpPort());
  std::fflush(stdout);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);

  std::size_t printed = 0;
  std::size_t faultsPrinted = 0;
  bool ended = false;
  while (!ended && !gInterrupted) {
    ended = server.WaitForDisconnection(std::chrono::milliseconds(50));
    for (const testserver::ReceivedMessage& message : server.Received(printed)) {
      Print(message);
      ++printed;
    }
    const std::vector<std::string> faults = server.Faults();
    for (; faultsPrinted < faults.size(); ++faultsPrinted) {
      std::printf("fault: %s\n", faults[faultsPrinted].c_str());
    }
    std::fflush(stdout);
  }
  std::printf("testserver: %s\n",
              ended ? (server.ClosedByClient() ? "the client closed the connection"
                                               : "the server closed the connection")
                    : "interrupted");
  server.Stop();
  return 0;
}
