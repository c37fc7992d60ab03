#include "firmware_wmi_provider.h"

#include "../file_reader.h"
#include "smbios_entry_point.h"

winapi_host::WmiRepository winapi_host::ReadFirmwareRepository(const std::string& tablesDirectory) {
  std::vector<std::shared_ptr<const WmiInstance>> instances;
  const std::optional<std::string> table = ReadWholeFile(tablesDirectory + "/DMI");
  if (table) {
    const std::optional<std::string> entryPoint =
        ReadWholeFile(tablesDirectory + "/smbios_entry_point");
    const std::optional<SmbiosVersion> version =
        entryPoint ? ParseSmbiosEntryPoint(*entryPoint) : std::nullopt;
    instances.push_back(
        std::make_shared<const WmiInstance>(MakeRawSmbiosTablesInstance(*table, version)));
  }
  return MakeRawSmbiosTablesRepository(std::move(instances));
}

HRESULT winapi_host::CreateFirmwareWmiLocator(REFIID iid, void** object) {
  return CreateWbemLocator(
      std::make_shared<const WmiRepository>(ReadFirmwareRepository(kFirmwareTablesDirectory)),
      nullptr, iid, object);
}
