#include "child_process.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace test_support {
namespace {

std::string ReadAll(int file) {
  std::string bytes;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(file, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
  }
  return bytes;
}

std::string Failed(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// An unlinked temporary file, open for the child to write and the parent to read back.
class CaptureFile {
 public:
  CaptureFile() {
    char pattern[] = "/tmp/smbios-probe-output-XXXXXX";
    file_ = mkostemp(pattern, O_CLOEXEC);
    if (file_ >= 0) {
      unlink(pattern);
    }
  }
  ~CaptureFile() {
    if (file_ >= 0) {
      close(file_);
    }
  }
  CaptureFile(const CaptureFile&) = delete;
  CaptureFile& operator=(const CaptureFile&) = delete;

  bool Open() const { return file_ >= 0; }
  int Descriptor() const { return file_; }
  std::string Contents() const {
    lseek(file_, 0, SEEK_SET);
    return ReadAll(file_);
  }

 private:
  int file_ = -1;
};

}  // namespace

ProcessOutcome RunChild(const std::vector<std::string>& argv,
                        const std::function<std::string()>& prepare) {
  std::vector<std::string> strings = argv;
  std::vector<char*> pointers;
  for (std::string& argument : strings) {
    pointers.push_back(argument.data());
  }
  pointers.push_back(nullptr);

  // The setup pipe closes on exec, so an empty read means the executable started.
  int setup[2];
  const CaptureFile output;
  const CaptureFile errors;
  if (pipe2(setup, O_CLOEXEC) != 0 || !output.Open() || !errors.Open()) {
    return {Failed("pipe or capture file"), -1, "", ""};
  }
  const pid_t child = fork();
  if (child < 0) {
    return {Failed("fork"), -1, "", ""};
  }
  if (child == 0) {
    dup2(output.Descriptor(), STDOUT_FILENO);
    dup2(errors.Descriptor(), STDERR_FILENO);
    std::string problem = prepare();
    if (problem.empty()) {
      execvp(pointers[0], pointers.data());
      problem = Failed(("exec " + strings[0]).c_str());
    }
    [[maybe_unused]] const ssize_t told = write(setup[1], problem.data(), problem.size());
    _exit(127);
  }
  close(setup[1]);
  ProcessOutcome outcome;
  outcome.setupProblem = ReadAll(setup[0]);
  close(setup[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child) {
    outcome.setupProblem = Failed("wait");
    return outcome;
  }
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  outcome.output = output.Contents();
  outcome.errors = errors.Contents();
  return outcome;
}

}  // namespace test_support
