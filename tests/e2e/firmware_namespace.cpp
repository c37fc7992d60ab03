#include "firmware_namespace.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace test_support {
namespace {

constexpr char kFirmware[] = "/sys/firmware";
constexpr char kTables[] = "/sys/firmware/dmi/tables";

bool WriteFile(const std::string& path, const std::string& bytes) {
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0444);
  if (file < 0) {
    return false;
  }
  const bool written =
      write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(file) == 0 && written;
}

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

// Root gets a mount namespace of its own; anyone else maps themselves to root in a new
// user namespace first, which owns the new mount namespace.
bool EnterPrivateMountNamespace() {
  if (geteuid() == 0) {
    return unshare(CLONE_NEWNS) == 0;
  }
  const std::string uid = std::to_string(geteuid());
  const std::string gid = std::to_string(getegid());
  return unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && WriteFile("/proc/self/setgroups", "deny") &&
         WriteFile("/proc/self/uid_map", "0 " + uid + " 1") &&
         WriteFile("/proc/self/gid_map", "0 " + gid + " 1");
}

// In the child: returns what failed, or does not return.
std::string LayTablesAndExec(const std::string& executable, std::vector<char*>& argv,
                             const FirmwareTables& tables) {
  if (!EnterPrivateMountNamespace()) {
    return std::string("private mount namespace: ") + std::strerror(errno);
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", kFirmware, "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
    return std::string("tmpfs over /sys/firmware: ") + std::strerror(errno);
  }
  if (tables.dmi || tables.entryPoint) {
    if (mkdir("/sys/firmware/dmi", 0755) != 0 || mkdir(kTables, 0755) != 0) {
      return std::string("table directory: ") + std::strerror(errno);
    }
  }
  if ((tables.dmi && !WriteFile(std::string(kTables) + "/DMI", *tables.dmi)) ||
      (tables.entryPoint &&
       !WriteFile(std::string(kTables) + "/smbios_entry_point", *tables.entryPoint))) {
    return std::string("table files: ") + std::strerror(errno);
  }
  execv(executable.c_str(), argv.data());
  return "exec " + executable + ": " + std::strerror(errno);
}

}  // namespace

ProcessOutcome RunWithFirmwareTables(const std::string& executable,
                                     const std::vector<std::string>& arguments,
                                     const FirmwareTables& tables) {
  std::vector<std::string> argumentStrings = {executable};
  argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argumentStrings) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  int setup[2];
  int output[2];
  if (pipe2(setup, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
    return {std::string("pipe: ") + std::strerror(errno), -1, ""};
  }
  const pid_t child = fork();
  if (child < 0) {
    return {std::string("fork: ") + std::strerror(errno), -1, ""};
  }
  if (child == 0) {
    dup2(output[1], STDOUT_FILENO);
    dup2(output[1], STDERR_FILENO);
    const std::string problem = LayTablesAndExec(executable, argv, tables);
    [[maybe_unused]] const ssize_t told = write(setup[1], problem.data(), problem.size());
    _exit(127);
  }
  close(setup[1]);
  close(output[1]);
  ProcessOutcome outcome;
  outcome.setupProblem = ReadAll(setup[0]);
  outcome.output = ReadAll(output[0]);
  close(setup[0]);
  close(output[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child) {
    outcome.setupProblem = std::string("wait: ") + std::strerror(errno);
    return outcome;
  }
  outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

}  // namespace test_support
