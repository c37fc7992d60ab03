// Runs of the built probes as processes, each given one published SMBIOS table: the host
// build with the table laid where its WMI provider reads the firmware, the Windows builds
// under Wine with the test WMI provider serving it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "child_process.h"
#include "firmware_namespace.h"

namespace test_support {

enum class ProbeBuild { Host, WindowsX64, WindowsX86 };

const char* NameOf(ProbeBuild build);
inline void PrintTo(ProbeBuild build, std::ostream* out) { *out << NameOf(build); }

struct SmbiosVersionNumber {
  std::uint8_t major;
  std::uint8_t minor;
};

struct PublishedTable {
  std::optional<std::string> bytes;            // none: no table is published
  std::optional<SmbiosVersionNumber> version;  // none: the version cannot be read
};

ProcessOutcome RunProbe(ProbeBuild build, const PublishedTable& table,
                        const std::vector<std::string>& arguments = {});

// The host build against firmware files exactly as given, under the command that
// SMBIOS_PROBE_HOST_WRAPPER names, if any (for example valgrind and its options).
ProcessOutcome RunHostProbe(const FirmwareTables& tables,
                            const std::vector<std::string>& arguments = {});

// A Windows build under Wine: with the test provider in `mode` (see tests/wine), or with
// Wine's own WMI when `mode` is "wine-wmi".
ProcessOutcome RunWindowsProbe(ProbeBuild build, const PublishedTable& table,
                               const std::string& mode,
                               const std::vector<std::string>& arguments = {});

// A 64-bit SMBIOS 3 entry point stating `version`.
std::string EntryPoint64(SmbiosVersionNumber version);

}  // namespace test_support
