#include "probe_runs.h"

#include "smbios_tables.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <cstdlib>
#include <sstream>

namespace test_support {
namespace {

// A temporary file holding `bytes`, removed with the object.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& bytes) {
    char pattern[] = "/tmp/smbios-probe-table-XXXXXX";
    const int file = mkstemp(pattern);
    if (file >= 0) {
      path_ = pattern;
      written_ = write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
      close(file);
    }
  }
  ~TemporaryFile() {
    if (!path_.empty()) {
      unlink(path_.c_str());
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Ready() const { return written_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool written_ = false;
};

std::string WindowsBuildDirectory(ProbeBuild build) {
  return build == ProbeBuild::WindowsX64 ? SMBIOS_PROBE_WINDOWS_X64_BUILD
                                         : SMBIOS_PROBE_WINDOWS_X86_BUILD;
}

// Words of SMBIOS_PROBE_HOST_WRAPPER, a command to run the host probe under (valgrind).
std::vector<std::string> HostWrapper() {
  std::vector<std::string> words;
  const char* wrapper = std::getenv("SMBIOS_PROBE_HOST_WRAPPER");
  std::istringstream stream(wrapper == nullptr ? "" : wrapper);
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

// The Wine script's status when it could not run the probe at all.
constexpr int kWineSetupFailed = 125;

}  // namespace

const char* NameOf(ProbeBuild build) {
  switch (build) {
    case ProbeBuild::Host:
      return "host";
    case ProbeBuild::WindowsX64:
      return "windows_x64";
    case ProbeBuild::WindowsX86:
      return "windows_x86";
  }
  return "unknown";
}

std::string EntryPoint64(SmbiosVersionNumber version) {
  return EntryPoint("_SM3_", 0x18, {{6, 0x18}, {7, version.major}, {8, version.minor}});
}

ProcessOutcome RunHostProbe(const FirmwareTables& tables,
                            const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = HostWrapper();
  argv.push_back(SMBIOS_PROBE_EXECUTABLE);
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunChild(argv, [&tables] { return EnterFirmwareNamespace(tables); });
}

ProcessOutcome RunWindowsProbe(ProbeBuild build, const PublishedTable& table,
                               const std::string& mode, const std::vector<std::string>& arguments) {
  const std::string buildDirectory = WindowsBuildDirectory(build);
  if (buildDirectory.empty()) {
    return {std::string("no ") + NameOf(build) + " build given (SMBIOS_PROBE_WINDOWS_*_BUILD)", -1,
            "", ""};
  }
  // Wine's own WMI takes no mode; the test provider serves a table without a version as such.
  const bool wineWmi = mode == "wine-wmi";
  const std::string providerMode = wineWmi ? "" : table.version ? mode : "no-version";
  std::optional<TemporaryFile> tableFile;
  std::vector<std::string> argv = {"/bin/bash", SMBIOS_PROBE_WINE_SCRIPT};
  if (wineWmi) {
    argv.push_back("--wine-wmi");
  }
  if (table.bytes) {
    tableFile.emplace(*table.bytes);
    if (!tableFile->Ready()) {
      return {"cannot write the table to a temporary file", -1, "", ""};
    }
    argv.push_back(tableFile->Path());
  }
  argv.push_back("--");
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ProcessOutcome outcome = RunChild(argv, [&] {
    setenv("SMBIOS_PROBE_EXE", (buildDirectory + "/src/app/smbios-probe.exe").c_str(), 1);
    if (std::getenv("SMBIOS_PROBE_WINEPREFIXES") == nullptr) {
      setenv("SMBIOS_PROBE_WINEPREFIXES", SMBIOS_PROBE_DEFAULT_WINEPREFIXES, 1);
    }
    unsetenv("SMBIOS_PROBE_TEST_VERSION");
    unsetenv("SMBIOS_PROBE_TEST_MODE");
    if (table.version) {
      setenv("SMBIOS_PROBE_TEST_VERSION",
             (std::to_string(table.version->major) + "." + std::to_string(table.version->minor))
                 .c_str(),
             1);
    }
    if (!providerMode.empty()) {
      setenv("SMBIOS_PROBE_TEST_MODE", providerMode.c_str(), 1);
    }
    return std::string();
  });
  if (outcome.setupProblem.empty() && outcome.exitStatus == kWineSetupFailed) {
    outcome.setupProblem = outcome.errors;
  }
  return outcome;
}

ProcessOutcome RunProbe(ProbeBuild build, const PublishedTable& table,
                        const std::vector<std::string>& arguments) {
  if (build == ProbeBuild::Host) {
    FirmwareTables tables{table.bytes, std::nullopt};
    if (table.version) {
      tables.entryPoint = EntryPoint64(*table.version);
    }
    return RunHostProbe(tables, arguments);
  }
  return RunWindowsProbe(build, table, "", arguments);
}

}  // namespace test_support
