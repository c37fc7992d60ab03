#include "winapi_host/raw_smbios_tables.h"

#include <utility>

winapi_host::WmiInstance winapi_host::MakeRawSmbiosTablesInstance(
    const std::string& table, const std::optional<SmbiosVersion>& version) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(table.data());
  WmiInstance instance = {
      {L"Active", CIM_BOOLEAN, OwnedVariant::Boolean(true)},
      {L"InstanceName", CIM_STRING, OwnedVariant::String(L"SMBiosData")},
      {L"Used20CallingMethod", CIM_BOOLEAN, OwnedVariant::Boolean(false)},
      // WMI carries uint32 values in a VT_I4 VARIANT.
      {L"Size", CIM_UINT32, OwnedVariant::Int32(static_cast<std::int32_t>(table.size()))},
      {L"SMBiosData", CIM_UINT8 | CIM_FLAG_ARRAY, OwnedVariant::ByteArray(bytes, table.size())},
  };
  if (version) {
    instance.push_back({L"SmbiosMajorVersion", CIM_UINT8, OwnedVariant::Byte(version->major)});
    instance.push_back({L"SmbiosMinorVersion", CIM_UINT8, OwnedVariant::Byte(version->minor)});
    instance.push_back({L"DmiRevision", CIM_UINT8, OwnedVariant::Byte(version->dmiRevision)});
  }
  return instance;
}

winapi_host::WmiRepository winapi_host::MakeRawSmbiosTablesRepository(
    std::vector<std::shared_ptr<const WmiInstance>> instances) {
  return {{kWmiNamespace, {{kRawSmbiosTablesClass, std::move(instances)}}}};
}
