// Runs the command-line tools as a user would, in a scratch folder that each test gets afresh.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/support/scratch_folder.h"

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
  std::string Path(const std::string& name) const { return folder_ / name; }
  // The same path quoted for the shell.
  std::string Arg(const std::string& name) const { return "'" + Path(name) + "'"; }

  test_support::ScratchFolder folder_{"tools"};
};
