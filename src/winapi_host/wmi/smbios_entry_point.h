// The SMBIOS version as the firmware's entry point structure states it (DMTF DSP0134).
#pragma once

#include <optional>
#include <string_view>

#include "winapi_host/raw_smbios_tables.h"

namespace winapi_host {

// Reads a 64-bit "_SM3_", 32-bit "_SM_" or legacy "_DMI_" entry point; nothing when the
// bytes are none of these or too short for the structure they claim to be.
std::optional<SmbiosVersion> ParseSmbiosEntryPoint(std::string_view entryPoint);

}  // namespace winapi_host
