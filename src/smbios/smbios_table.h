// A snapshot of the firmware's SMBIOS structure table and the operations on it.
#pragma once

#include <cstdint>

// Version bytes and an owned copy of the structure table, starting with the first
// structure's type byte. A new record is cleared: `SmbiosTable table{};`.
// clang-format off
struct SmbiosTable { uint8_t majorVersion; uint8_t minorVersion; uint8_t* data; uint32_t size; };
// clang-format on

// Fills a cleared record from the WMI class MSSMBios_RawSMBiosTables. False when no
// copy was made; the version bytes may already be stored then.
bool ReadRawSmbiosTable(SmbiosTable& table);

// Frees the copy made by ReadRawSmbiosTable, if any. The record is not used afterwards.
void ReleaseSmbiosTable(SmbiosTable& table);

// The first structure whose type byte equals `type`, pointing at that byte inside
// `data`; null when none does. Only the type byte of the result is known to be inside.
const uint8_t* FindStructure(const SmbiosTable& table, uint8_t type);
