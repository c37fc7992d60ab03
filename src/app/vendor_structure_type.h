// The OEM structure type whose presence the probe reports, fixed when it is built.
#pragma once

#include <cstdint>

#ifndef SMBIOS_PROBE_VENDOR_TYPE
#error "SMBIOS_PROBE_VENDOR_TYPE must give the OEM structure type to look for"
#endif

static_assert(SMBIOS_PROBE_VENDOR_TYPE >= 128 && SMBIOS_PROBE_VENDOR_TYPE <= 255,
              "SMBIOS reserves structure types 128 to 255 for OEM-specific structures");

inline constexpr uint8_t kVendorStructureType = SMBIOS_PROBE_VENDOR_TYPE;
