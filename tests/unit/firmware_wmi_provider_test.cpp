#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "wmi/firmware_wmi_provider.h"
#include "wmi/smbios_entry_point.h"
#include "case_name.h"
#include "smbios_tables.h"

namespace {

using test_support::EntryPoint;
using winapi_host::ParseSmbiosEntryPoint;
using winapi_host::SmbiosVersion;

struct EntryPointCase {
  const char* name;
  std::string entryPoint;
  std::optional<SmbiosVersion> expected;
};

void PrintTo(const EntryPointCase& c, std::ostream* out) { *out << c.name; }

class EntryPointTest : public testing::TestWithParam<EntryPointCase> {};

TEST_P(EntryPointTest, ReadsTheVersionOrNothing) {
  const EntryPointCase& c = GetParam();
  const std::optional<SmbiosVersion> version = ParseSmbiosEntryPoint(c.entryPoint);
  ASSERT_EQ(version.has_value(), c.expected.has_value()) << c.name;
  if (version) {
    EXPECT_EQ(version->major, c.expected->major) << c.name;
    EXPECT_EQ(version->minor, c.expected->minor) << c.name;
    EXPECT_EQ(version->dmiRevision, c.expected->dmiRevision) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EntryPointTest,
    testing::Values(
        EntryPointCase{"64-bit entry point", EntryPoint("_SM3_", 0x18, {{7, 3}, {8, 5}, {9, 1}}),
                       SmbiosVersion{3, 5, 1}},
        EntryPointCase{"32-bit entry point",
                       EntryPoint("_SM_", 0x1F, {{6, 2}, {7, 8}, {0x10, '_'}, {0x1E, 0x28}}),
                       SmbiosVersion{2, 8, 0x28}},
        EntryPointCase{"legacy DMI entry point", EntryPoint("_DMI_", 0x0F, {{0x0E, 0x21}}),
                       SmbiosVersion{2, 1, 0x21}},
        EntryPointCase{"64-bit anchor, too short", EntryPoint("_SM3_", 0x0A, {{7, 3}}),
                       std::nullopt},
        EntryPointCase{"32-bit anchor, too short", EntryPoint("_SM_", 0x10, {{6, 2}}),
                       std::nullopt},
        EntryPointCase{"unknown anchor", EntryPoint("_XYZ_", 0x20, {{7, 3}}), std::nullopt},
        EntryPointCase{"empty file", "", std::nullopt}),
    test_support::CaseName());

// A temporary directory laid out like /sys/firmware/dmi/tables.
class TablesDirectory {
 public:
  TablesDirectory() {
    char pattern[] = "/tmp/smbios-probe-tables-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TablesDirectory() {
    unlink((path_ + "/DMI").c_str());
    unlink((path_ + "/smbios_entry_point").c_str());
    rmdir(path_.c_str());
  }
  void Write(const std::string& name, const std::string& bytes) const {
    const int file = open((path_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(file);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

const winapi_host::WmiClass& RawTablesClass(const winapi_host::WmiRepository& repository) {
  return repository.at(0).classes.at(0);
}

const winapi_host::WmiProperty* Find(const winapi_host::WmiInstance& instance,
                                     const std::wstring& name) {
  for (const winapi_host::WmiProperty& property : instance) {
    if (std::wstring(property.name) == name) {
      return &property;
    }
  }
  return nullptr;
}

TEST(FirmwareWmiProvider, PublishesTheTableWithThePropertiesInTheirWmiTypes) {
  TablesDirectory tables;
  tables.Write("DMI", std::string("\x7f\x04\x00\x00\x00\x00", 6));
  tables.Write("smbios_entry_point", EntryPoint("_SM3_", 0x18, {{7, 3}, {8, 4}}));

  const winapi_host::WmiRepository repository = winapi_host::ReadFirmwareRepository(tables.Path());
  ASSERT_EQ(repository.size(), 1u);
  EXPECT_EQ(std::wstring(repository[0].name), L"ROOT\\WMI");
  EXPECT_EQ(std::wstring(RawTablesClass(repository).name), L"MSSMBios_RawSMBiosTables");
  ASSERT_EQ(RawTablesClass(repository).instances.size(), 1u);
  const winapi_host::WmiInstance& instance = *RawTablesClass(repository).instances[0];

  struct Expected {
    const wchar_t* name;
    CIMTYPE cimType;
    VARTYPE variantType;
  };
  for (const Expected& e : {Expected{L"SmbiosMajorVersion", CIM_UINT8, VT_UI1},
                            Expected{L"SmbiosMinorVersion", CIM_UINT8, VT_UI1},
                            Expected{L"DmiRevision", CIM_UINT8, VT_UI1},
                            Expected{L"SMBiosData", CIM_UINT8 | CIM_FLAG_ARRAY, VT_ARRAY | VT_UI1},
                            Expected{L"Size", CIM_UINT32, VT_I4},
                            Expected{L"Used20CallingMethod", CIM_BOOLEAN, VT_BOOL},
                            Expected{L"Active", CIM_BOOLEAN, VT_BOOL},
                            Expected{L"InstanceName", CIM_STRING, VT_BSTR}}) {
    const winapi_host::WmiProperty* property = Find(instance, e.name);
    ASSERT_NE(property, nullptr) << "missing " << testing::PrintToString(std::wstring(e.name));
    EXPECT_EQ(property->type, e.cimType) << testing::PrintToString(std::wstring(e.name));
    EXPECT_EQ(V_VT(&property->value.Get()), e.variantType)
        << testing::PrintToString(std::wstring(e.name));
  }
  EXPECT_EQ(V_UI1(&Find(instance, L"SmbiosMajorVersion")->value.Get()), 3);
  EXPECT_EQ(V_UI1(&Find(instance, L"SmbiosMinorVersion")->value.Get()), 4);
  EXPECT_EQ(V_I4(&Find(instance, L"Size")->value.Get()), 6);
  const SAFEARRAY* data = V_ARRAY(&Find(instance, L"SMBiosData")->value.Get());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->rgsabound[0].cElements, 6u);
  EXPECT_EQ(static_cast<const uint8_t*>(data->pvData)[0], 0x7f);
}

TEST(FirmwareWmiProvider, PublishesNoVersionItCouldNotRead) {
  for (const char* entryPoint : {"", "not an entry point"}) {
    TablesDirectory tables;
    tables.Write("DMI", std::string(4, '\0'));
    if (*entryPoint != '\0') {
      tables.Write("smbios_entry_point", entryPoint);
    }
    const winapi_host::WmiRepository repository =
        winapi_host::ReadFirmwareRepository(tables.Path());
    ASSERT_EQ(RawTablesClass(repository).instances.size(), 1u) << entryPoint;
    const winapi_host::WmiInstance& instance = *RawTablesClass(repository).instances[0];
    EXPECT_NE(Find(instance, L"SMBiosData"), nullptr) << entryPoint;
    EXPECT_EQ(Find(instance, L"SmbiosMajorVersion"), nullptr) << entryPoint;
    EXPECT_EQ(Find(instance, L"SmbiosMinorVersion"), nullptr) << entryPoint;
  }
}

TEST(FirmwareWmiProvider, PublishesNoInstanceWithoutATable) {
  TablesDirectory tables;
  tables.Write("smbios_entry_point", EntryPoint("_SM3_", 0x18, {{7, 3}}));
  const winapi_host::WmiRepository repository = winapi_host::ReadFirmwareRepository(tables.Path());
  EXPECT_TRUE(RawTablesClass(repository).instances.empty());
}

}  // namespace
