// Runs an executable as a process that sees its own /sys/firmware: a tmpfs in a private
// mount namespace, holding the firmware table files a test lays there.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct FirmwareTables {
  std::optional<std::string> dmi;         // /sys/firmware/dmi/tables/DMI
  std::optional<std::string> entryPoint;  // /sys/firmware/dmi/tables/smbios_entry_point
};

struct ProcessOutcome {
  std::string setupProblem;  // why the namespace could not be made; empty when it ran
  int exitStatus = -1;
  std::string output;  // standard output and standard error together
};

ProcessOutcome RunWithFirmwareTables(const std::string& executable,
                                     const std::vector<std::string>& arguments,
                                     const FirmwareTables& tables);

}  // namespace test_support
