// Starts an executable as a child process and collects how it ended.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace test_support {

struct ProcessOutcome {
  std::string setupProblem;  // why the child could not be started as asked; empty when it ran
  int exitStatus = -1;
  std::string output;  // what it wrote to standard output
  std::string errors;  // what it wrote to standard error
};

// Runs `prepare` in the child, then replaces it with `argv[0]`, looked up in PATH; `prepare`
// returns what went wrong, or nothing. The outputs go to files rather than pipes, so that a daemon
// the child leaves behind cannot hold the run open.
ProcessOutcome RunChild(const std::vector<std::string>& argv,
                        const std::function<std::string()>& prepare);

}  // namespace test_support
