#include "battle/main/session_statistics.h"

#include <cstdarg>
#include <cstdio>

#include "platform/kernel/clock.h"

namespace {

void AppendFormat(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void AppendFormat(std::string& text, const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  if (length > 0) {
    text.append(line, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof(line) - 1));
  }
}

}  // namespace

std::string StatisticsText(const SessionStatistics& s) {
  const NetCounters& c = s.counters;
  std::string text = "Stat dump\n";
  text += s.networkError;
  AppendFormat(text, "time %ds, cpu time %.2fs, sent %d bytes, rcvd %d bytes\n",
               static_cast<int>(s.seconds), s.processorSeconds, static_cast<int>(c.tcpBytesSent),
               static_cast<int>(c.tcpBytesReceived));
  AppendFormat(text, "%d selects (%dr/%dw ready)\n", static_cast<int>(c.selects),
               static_cast<int>(c.readablePumps), static_cast<int>(c.writablePumps));
  AppendFormat(text, "%d reads, %d EWOULDBLOCK\n", static_cast<int>(c.receiveSteps),
               static_cast<int>(c.receiveWouldBlocks));
  AppendFormat(text, "%d writes, %d truncated, %d EWOULDBLOCK\n", static_cast<int>(c.tcpSends),
               static_cast<int>(c.partialSends), static_cast<int>(c.sendWouldBlocks));
  const double averageSend =
      c.tcpSends == 0 ? 0.0 : static_cast<double>(c.tcpBytesSent) / c.tcpSends;
  AppendFormat(text, "average send size: %f bytes\n", averageSend);
  AppendFormat(text, "maximum receives at once: %d\n", static_cast<int>(c.maxReceivesPerPump));
  for (std::size_t i = 0; i < kTimedPhases; ++i) {
    if (s.phaseSums[i] == 0) {
      continue;
    }
    const std::uint32_t average = s.frameCount == 0 ? 0 : s.phaseSums[i] / s.frameCount;
    AppendFormat(text, "%2d A%4d     M%4d\n", static_cast<int>(i), static_cast<int>(average),
                 static_cast<int>(s.phaseMaxima[i]));
  }
  AppendFormat(text, "Sock time Ave %d  Max %d\n", static_cast<int>(s.averagePumpInterval),
               static_cast<int>(s.longestPumpGap));
  return text;
}

SessionStatistics GatherStatistics(const CGameSession& session) {
  const CNetSocket& net = session.netSocket;
  SessionStatistics s;
  s.networkError = net.ErrorText();
  s.seconds = platform::CrtTime() - net.StartWallTime();
  s.processorSeconds = (platform::CrtClock() - net.StartProcessorTime()) * 0.001;
  s.counters = net.Counters();
  s.phaseSums = session.timing.sum;
  s.phaseMaxima = session.timing.largest;
  s.frameCount = session.timing.frameCount;
  s.averagePumpInterval = net.AveragePumpInterval();
  s.longestPumpGap = net.LongestPumpGap();
  return s;
}

void WriteStatisticsFile(const char* fileName, const std::string& text) {
  std::FILE* file = std::fopen(fileName, "w");
  if (file == nullptr) {
    return;
  }
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}
