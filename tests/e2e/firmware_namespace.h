// A private view of /sys/firmware for a child process: a tmpfs in a mount namespace of its
// own, holding the firmware table files a test lays there.
#pragma once

#include <optional>
#include <string>

namespace test_support {

struct FirmwareTables {
  std::optional<std::string> dmi;         // /sys/firmware/dmi/tables/DMI
  std::optional<std::string> entryPoint;  // /sys/firmware/dmi/tables/smbios_entry_point
};

// In a child process about to exec: enters the namespace and lays out `tables`; returns
// what failed, or nothing.
std::string EnterFirmwareNamespace(const FirmwareTables& tables);

}  // namespace test_support
