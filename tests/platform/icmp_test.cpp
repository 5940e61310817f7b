#include "platform/icmp/icmp.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Only the loopback address is ever pinged.
const IPAddr kLoopback = htonl(INADDR_LOOPBACK);

TEST(Icmp, LoopbackAnswersAnEchoWithItsData) {
  HANDLE icmp = IcmpCreateFile();
  if (icmp == INVALID_HANDLE_VALUE) {
    GTEST_SKIP() << "this machine forbids ICMP sockets to this user (error " << GetLastError()
                 << "): the echo through the real path is not run";
  }
  std::vector<BYTE> request(64, 0xAA);
  // The size of the reply buffer that the system check gives, which holds part of the data.
  std::vector<BYTE> reply(92, 0);
  for (int echo = 0; echo < 3; ++echo) {
    ASSERT_EQ(IcmpSendEcho(icmp, kLoopback, request.data(), 64, nullptr, reply.data(),
                           static_cast<DWORD>(reply.size()), 2000),
              1u)
        << "error " << GetLastError();
    ICMP_ECHO_REPLY record;
    std::memcpy(&record, reply.data(), sizeof record);
    EXPECT_EQ(record.Address, kLoopback);
    EXPECT_EQ(record.Status, IP_SUCCESS);
    EXPECT_LT(record.RoundTripTime, 2000u);
    EXPECT_EQ(record.DataSize, reply.size() - sizeof record);
    EXPECT_EQ(record.Data, reply.data() + sizeof record);
    EXPECT_EQ(reply[sizeof record], 0xAA);
    EXPECT_EQ(reply.back(), 0xAA);
  }
  EXPECT_TRUE(IcmpCloseHandle(icmp));
  EXPECT_FALSE(IcmpCloseHandle(icmp));
}

TEST(Icmp, ABufferWithoutRoomForTheRecordAndAClosedHandleFail) {
  HANDLE icmp = IcmpCreateFile();
  if (icmp == INVALID_HANDLE_VALUE) {
    GTEST_SKIP() << "this machine forbids ICMP sockets to this user";
  }
  BYTE request[8] = {};
  std::vector<BYTE> reply(sizeof(ICMP_ECHO_REPLY) - 1);
  EXPECT_EQ(IcmpSendEcho(icmp, kLoopback, request, sizeof request, nullptr, reply.data(),
                         static_cast<DWORD>(reply.size()), 100),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_TRUE(IcmpCloseHandle(icmp));
  reply.resize(200);
  EXPECT_EQ(IcmpSendEcho(icmp, kLoopback, request, sizeof request, nullptr, reply.data(),
                         static_cast<DWORD>(reply.size()), 100),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
