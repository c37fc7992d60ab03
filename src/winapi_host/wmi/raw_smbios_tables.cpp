#include "winapi_host/raw_smbios_tables.h"

#include <utility>

winapi_host::WmiInstance winapi_host::MakeRawSmbiosTablesInstance(
    const std::string& table, const std::optional<SmbiosVersion>& version) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(table.data());
  // Built in place: a copy of a property copies the table it holds.
  WmiInstance instance;
  instance.reserve(8);
  instance.push_back({L"Active", CIM_BOOLEAN, OwnedVariant::Boolean(true)});
  instance.push_back({L"InstanceName", CIM_STRING, OwnedVariant::String(L"SMBiosData")});
  instance.push_back({L"Used20CallingMethod", CIM_BOOLEAN, OwnedVariant::Boolean(false)});
  // WMI carries uint32 values in a VT_I4 VARIANT.
  instance.push_back(
      {L"Size", CIM_UINT32, OwnedVariant::Int32(static_cast<std::int32_t>(table.size()))});
  instance.push_back(
      {L"SMBiosData", CIM_UINT8 | CIM_FLAG_ARRAY, OwnedVariant::ByteArray(bytes, table.size())});
  if (version) {
    instance.push_back({L"SmbiosMajorVersion", CIM_UINT8, OwnedVariant::Byte(version->major)});
    instance.push_back({L"SmbiosMinorVersion", CIM_UINT8, OwnedVariant::Byte(version->minor)});
    instance.push_back({L"DmiRevision", CIM_UINT8, OwnedVariant::Byte(version->dmiRevision)});
  }
  return instance;
}

winapi_host::WmiRepository winapi_host::MakeRawSmbiosTablesRepository(
    std::vector<std::shared_ptr<const WmiInstance>> instances) {
  WmiRepository repository(1);
  repository[0].name = kWmiNamespace;
  repository[0].classes.push_back({kRawSmbiosTablesClass, std::move(instances)});
  return repository;
}
