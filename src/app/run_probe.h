// One run of the probe, from the framework's initialisation to the exit status.
#pragma once

#include <cstdint>

enum ProbeStatus : int {
  kStructurePresent = 0,
  kStructureAbsent = 1,
  kTableUnreadable = -1,
};

// Takes a snapshot of the SMBIOS table and tells whether it holds a structure of
// `vendorType`.
int RunProbe(uint8_t vendorType);
