// The WMI class through which Windows publishes the firmware's raw SMBIOS table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "winapi_host/wmi_repository.h"

namespace winapi_host {

inline constexpr wchar_t kWmiNamespace[] = L"ROOT\\WMI";
inline constexpr wchar_t kRawSmbiosTablesClass[] = L"MSSMBios_RawSMBiosTables";

struct SmbiosVersion {
  std::uint8_t major;
  std::uint8_t minor;
  std::uint8_t dmiRevision;
};

// One instance with the properties the Windows provider publishes, in their WMI types.
// Without a version, the version properties are absent rather than made up.
WmiInstance MakeRawSmbiosTablesInstance(const std::string& table,
                                        const std::optional<SmbiosVersion>& version);

// A repository whose ROOT\WMI namespace holds the class with these instances.
WmiRepository MakeRawSmbiosTablesRepository(
    std::vector<std::shared_ptr<const WmiInstance>> instances);

}  // namespace winapi_host
