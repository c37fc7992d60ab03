// The host's WMI provider: publishes the table that Linux exposes from the firmware.
#pragma once

#include <string>

#include "winapi_host/wmi_repository.h"

namespace winapi_host {

inline constexpr char kFirmwareTablesDirectory[] = "/sys/firmware/dmi/tables";

// The repository as the provider sees `tablesDirectory` now: an instance of
// MSSMBios_RawSMBiosTables when its DMI file is readable, none otherwise.
WmiRepository ReadFirmwareRepository(const std::string& tablesDirectory);

// The class factory of the WMI locator: each new locator takes a fresh look.
HRESULT CreateFirmwareWmiLocator(REFIID iid, void** object);

}  // namespace winapi_host
