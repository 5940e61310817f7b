// Runs the command-line tools as a user would, in a scratch folder that each test gets afresh.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

struct CommandResult {
  int status;
  // What the command wrote, to standard output and standard error alike.
  std::string out;
};

// The exit status is -1 when the command could not be started or did not exit by itself.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult run{-1, ""};
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[256];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    run.out.append(buffer, got);
  }
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ToolFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tools-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  // The same path quoted for the shell.
  std::string Arg(const std::string& name) const { return "'" + Path(name) + "'"; }

  std::filesystem::path folder_;
};
