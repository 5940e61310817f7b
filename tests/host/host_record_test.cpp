#include "host/interface/host_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The front end fills the text fields; readers take a field's text up to its NUL and, when the
// front end left none, up to the field's end, never into the next field.
TEST(HostRecordTest, FieldTextStopsAtTheNulOrTheFieldsEnd) {
  LoginBlock login{};
  std::memcpy(login.serverHost, "10.0.0.1\0stale", 15);
  EXPECT_EQ(FieldText(login.serverHost), "10.0.0.1");

  std::memset(login.serverHost, 'h', sizeof login.serverHost);
  std::strcpy(login.worldPackName, "arena.r3x");
  EXPECT_EQ(FieldText(login.serverHost), std::string(sizeof login.serverHost, 'h'));
  EXPECT_EQ(FieldText(login.worldPackName), "arena.r3x");

  std::memset(login.loginText, 'p', sizeof login.loginText);
  login.extraWords[0] = 0x41414141;  // "AAAA" right after the field
  EXPECT_EQ(FieldText(login.loginText), std::string(sizeof login.loginText, 'p'));
  EXPECT_EQ(FieldText(login.worldFileName), "");
}

}  // namespace
