// Every allocation of the world-file readers that can fail is reported, and nothing leaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/world/ascii_scanner.h"
#include "engine/world/keyword_table.h"
#include "tests/support/failing_memory.h"
#include "world_fixture.h"

namespace {

using test_support::ScratchFolder;
using world_test::Scan;
using world_test::TakeMessages;

constexpr const char* kOutOfMemory = "out of memory";

TEST(OutOfMemory, ContextIsReportedWithoutFile) {
  TakeMessages();
  test_support::FailingMemory failing(0);
  EXPECT_EQ(parCreateContext(nullptr, nullptr), nullptr);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kOutOfMemory});
}

TEST(OutOfMemory, StreamsFailToOpen) {
  ScratchFolder folder;
  const std::string file = folder.Write("a.wld", "A");
  for (long after : {0, 1}) {
    test_support::FailingMemory failing(after);
    EXPECT_EQ(parOpenStream(file.c_str(), nullptr), nullptr);
  }
}

// The token source's record, then its scanner.
TEST(OutOfMemory, TokenSourceIsReported) {
  ScratchFolder folder;
  for (const std::string& content :
       {std::string("A"), std::string("\x02\x3D\x4B\x00\x46\x01", 6)}) {
    const std::string file = folder.Write("a.wld", content);
    for (long after : {0, 1}) {
      TakeMessages();
      R3xParseContext* context = parCreateContext(nullptr, nullptr);
      R3xWorldStream* stream = parOpenStream(file.c_str(), nullptr);
      {
        test_support::FailingMemory failing(after);
        EXPECT_EQ(parCreateTokenSource(context, stream, nullptr), nullptr);
      }
      EXPECT_EQ(TakeMessages(), std::vector<std::string>{kOutOfMemory});
      parCloseStream(stream);
      parFreeStream(stream);
      parDestroyContext(context);
    }
  }
}

// The search path copy is not needed to go on.
TEST(OutOfMemory, SearchPathCopyIsLeftOut) {
  ScratchFolder folder;
  const std::string file = folder.Write("a.wld", "A");
  R3xParseContext* context = parCreateContext(nullptr, nullptr);
  R3xWorldStream* stream = parOpenStream(file.c_str(), nullptr);
  R3xTokenSource* source = nullptr;
  {
    test_support::FailingMemory failing(2);
    source = parCreateTokenSource(context, stream, "/a");
  }
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->path, nullptr);
  parDestroyTokenSource(source);
  parCloseStream(stream);
  parFreeStream(stream);
  parDestroyContext(context);
}

TEST(OutOfMemory, TokenTextsAreReportedAsErrorTokens) {
  ScratchFolder folder;
  struct Case {
    std::string content;
    const char* message;
  };
  for (const Case& c : {Case{"name", kOutOfMemory}, Case{"\"string\"", kOutOfMemory},
                        Case{"USERDATA 1 00", kOutOfMemory},
                        // The binary form reports nothing; the parser's syntax error follows.
                        Case{std::string("\x02\x3D\x4B\x00\x46\x01\x04\x01x", 9), nullptr}}) {
    TakeMessages();
    Scan scan(folder.Write("a.wld", c.content));
    ASSERT_NE(scan.source(), nullptr);
    test_support::FailingMemory failing(0);
    EXPECT_EQ(parNextToken(scan.source()), R3X_TOKEN_ERROR);
    const std::vector<std::string> messages = TakeMessages();
    if (c.message == nullptr) {
      EXPECT_TRUE(messages.empty());
    } else {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].substr(0, messages[0].find('\n')), c.message);
    }
  }
}

TEST(OutOfMemory, IncludeFileThatCannotBeScannedIsClosed) {
  ScratchFolder folder;
  const std::string inc = folder.Write("inc.wld", "X");
  Scan scan(folder.Write("a.wld", "A"));
  ASSERT_NE(scan.source(), nullptr);
  TakeMessages();
  for (long after : {0, 2}) {
    test_support::FailingMemory failing(after);
    EXPECT_EQ(scan.source()->pushInclude(scan.source(), inc.c_str()), 1);
  }
  const std::vector<std::string> messages = TakeMessages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].substr(0, messages[0].find('\n')), "could not open include file: " + inc);
  EXPECT_EQ(messages[1].substr(0, messages[1].find('\n')), kOutOfMemory);
  EXPECT_EQ(scan.source()->includeDepth, 0);
}

}  // namespace
