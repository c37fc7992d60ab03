#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wbemidl.h>

#include "case_name.h"
#include "smbios_table.h"
#include "smbios_tables.h"
#include "winapi_host/diagnostics.h"
#include "wmi_double.h"

namespace {

using test_support::RawTablesInstance;
using test_support::With;
using test_support::Without;
using test_support::WmiDouble;
using winapi_host::OwnedVariant;
using winapi_host::WmiMethod;

// The calls of a read that succeeds, in order, and the releases that end it.
const std::vector<std::string> kReadCalls = {
    "CoCreateInstance(IWbemLocator)",
    "ConnectServer(BSTR \"ROOT\\WMI\", null, null, null, 0, null, null)",
    "SetBlanket(10, 0, null, 3, 3, null, 0)",
    "CreateInstanceEnum(BSTR \"MSSMBios_RawSMBiosTables\", 0, null)",
    "Next(-1, 1, objects, returned)",
    "Get(\"SmbiosMajorVersion\", 0, value, type, null)",
    "Get(\"SmbiosMinorVersion\", 0, value, type, null)",
    "Get(\"SMBiosData\", 0, value, type, null)",
};
const char kReleaseObject[] = "Release(IWbemClassObject)";
const char kReleaseEnumerator[] = "Release(IEnumWbemClassObject)";
const char kReleaseServices[] = "Release(IWbemServices)";
const char kReleaseLocator[] = "Release(IWbemLocator)";

// The first `made` calls of a read, then `releases`.
std::vector<std::string> CallsThenReleases(std::size_t made, std::vector<std::string> releases) {
  std::vector<std::string> calls(kReadCalls.begin(), kReadCalls.begin() + made);
  calls.insert(calls.end(), releases.begin(), releases.end());
  return calls;
}

const std::vector<std::string> kReleaseAll = {kReleaseObject, kReleaseEnumerator, kReleaseServices,
                                              kReleaseLocator};

// What the host layer holds, to compare before and after a read.
struct Holdings {
  long objects = winapi_host::LiveComObjects();
  long strings = winapi_host::LiveBstrs();
  long arrays = winapi_host::LiveSafeArrays();
  int apartment = winapi_host::ApartmentDepth();

  bool operator==(const Holdings& other) const {
    return objects == other.objects && strings == other.strings && arrays == other.arrays &&
           apartment == other.apartment;
  }
};

std::ostream& operator<<(std::ostream& out, const Holdings& h) {
  return out << h.objects << " COM objects, " << h.strings << " BSTRs, " << h.arrays
             << " SAFEARRAYs, apartment depth " << h.apartment;
}

struct ReadCase {
  const char* name;
  std::function<void(WmiDouble&)> script;
  bool expectedResult;
  std::vector<std::string> expectedCalls;
  std::optional<uint8_t> expectedMajor = 0;  // none: not predictable
  uint8_t expectedMinor = 0;
  std::string expectedData = "";
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadRawSmbiosTableTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadRawSmbiosTableTest, ReadsOrFailsReleasingEverything) {
  const ReadCase& c = GetParam();
  WmiDouble wmi;
  c.script(wmi);
  const Holdings before;

  SmbiosTable table{};
  const bool result = ReadRawSmbiosTable(table);

  EXPECT_EQ(result, c.expectedResult) << c.name;
  EXPECT_EQ(wmi.Calls(), c.expectedCalls) << c.name;
  EXPECT_EQ(Holdings(), before) << c.name << ": something obtained was not released";
  if (c.expectedMajor) {
    EXPECT_EQ(table.majorVersion, *c.expectedMajor) << c.name;
  }
  EXPECT_EQ(table.minorVersion, c.expectedMinor) << c.name;
  if (result) {
    ASSERT_NE(table.data, nullptr) << c.name;
    EXPECT_EQ(std::string(table.data, table.data + table.size), c.expectedData) << c.name;
  } else {
    EXPECT_EQ(table.data, nullptr) << c.name;
    EXPECT_EQ(table.size, 0u) << c.name;
  }
  ReleaseSmbiosTable(table);
}

const std::string kTable = test_support::Structure(0xC0, {"OEM"}) + test_support::EndOfTable();
const HRESULT kDenied = WBEM_E_ACCESS_DENIED;

void ServeTable(WmiDouble& wmi) { wmi.Serve(RawTablesInstance(kTable, 3, 2)); }

VARIANT NullByteArray() {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_ARRAY | VT_UI1;
  V_ARRAY(&value) = nullptr;
  return value;
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ReadRawSmbiosTableTest,
    testing::Values(
        ReadCase{"table read", ServeTable, true, CallsThenReleases(8, kReleaseAll), 3, 2, kTable},
        ReadCase{"empty byte array read as an empty table",
                 [](WmiDouble& wmi) { wmi.Serve(RawTablesInstance("", 3, 5)); }, true,
                 CallsThenReleases(8, kReleaseAll), 3, 5, ""},
        ReadCase{"only the first of several instances is read",
                 [](WmiDouble& wmi) {
                   wmi.Serve({std::make_shared<const test_support::WmiInstance>(
                                  RawTablesInstance(kTable, 2, 8)),
                              std::make_shared<const test_support::WmiInstance>(
                                  RawTablesInstance("other", 3, 4))});
                 },
                 true, CallsThenReleases(8, kReleaseAll), 2, 8, kTable},
        ReadCase{"the Size property is not what counts",
                 [](WmiDouble& wmi) {
                   wmi.Serve(With(RawTablesInstance(kTable, 3, 2), L"Size", CIM_UINT32,
                                  OwnedVariant::Int32(2)));
                 },
                 true, CallsThenReleases(8, kReleaseAll), 3, 2, kTable},
        ReadCase{"version of another integer type: its low byte",
                 [](WmiDouble& wmi) {
                   wmi.Serve(With(With(RawTablesInstance(kTable), L"SmbiosMajorVersion", CIM_SINT32,
                                       OwnedVariant::Int32(0x1203)),
                                  L"SmbiosMinorVersion", CIM_SINT32, OwnedVariant::Int32(0x0107)));
                 },
                 true, CallsThenReleases(8, kReleaseAll), 3, 7, kTable},
        ReadCase{"locator not created",
                 [](WmiDouble& wmi) { wmi.Fail(WmiMethod::CreateLocator, REGDB_E_CLASSNOTREG); },
                 false, CallsThenReleases(1, {})},
        ReadCase{
            "namespace not connected",
            [](WmiDouble& wmi) { wmi.Fail(WmiMethod::ConnectServer, WBEM_E_INVALID_NAMESPACE); },
            false, CallsThenReleases(2, {kReleaseLocator})},
        ReadCase{"proxy blanket refused",
                 [](WmiDouble& wmi) { wmi.Fail(WmiMethod::SetBlanket, kDenied); }, false,
                 CallsThenReleases(3, {kReleaseServices, kReleaseLocator})},
        ReadCase{
            "class not enumerated",
            [](WmiDouble& wmi) { wmi.Fail(WmiMethod::CreateInstanceEnum, WBEM_E_INVALID_CLASS); },
            false, CallsThenReleases(4, {kReleaseServices, kReleaseLocator})},
        ReadCase{"enumeration fails",
                 [](WmiDouble& wmi) { wmi.Fail(WmiMethod::Next, WBEM_E_FAILED); }, false,
                 CallsThenReleases(5, {kReleaseEnumerator, kReleaseServices, kReleaseLocator})},
        ReadCase{"no instance", [](WmiDouble& wmi) { wmi.ServeNothing(); }, false,
                 CallsThenReleases(5, {kReleaseEnumerator, kReleaseServices, kReleaseLocator})},
        ReadCase{"one instance reported but a null object handed back",
                 [](WmiDouble& wmi) { wmi.Serve({nullptr}); }, false,
                 CallsThenReleases(5, {kReleaseEnumerator, kReleaseServices, kReleaseLocator})},
        ReadCase{"major version missing",
                 [](WmiDouble& wmi) {
                   wmi.Serve(Without(RawTablesInstance(kTable, 3, 2), L"SmbiosMajorVersion"));
                 },
                 false, CallsThenReleases(6, kReleaseAll)},
        ReadCase{"minor version fails: major already stored",
                 [](WmiDouble& wmi) {
                   ServeTable(wmi);
                   wmi.Fail(WmiMethod::Get, kDenied, L"SmbiosMinorVersion");
                 },
                 false, CallsThenReleases(7, kReleaseAll), 3},
        ReadCase{"table data missing: versions already stored",
                 [](WmiDouble& wmi) {
                   wmi.Serve(Without(RawTablesInstance(kTable, 3, 2), L"SMBiosData"));
                 },
                 false, CallsThenReleases(8, kReleaseAll), 3, 2},
        ReadCase{"table data of another type",
                 [](WmiDouble& wmi) {
                   wmi.Serve(With(RawTablesInstance(kTable, 3, 2), L"SMBiosData", CIM_STRING,
                                  OwnedVariant::String(L"not bytes")));
                 },
                 false, CallsThenReleases(8, kReleaseAll), 3, 2},
        ReadCase{"table data an array of another element type",
                 [](WmiDouble& wmi) {
                   VARIANT words;
                   VariantInit(&words);
                   V_VT(&words) = VT_ARRAY | VT_I2;
                   V_ARRAY(&words) = SafeArrayCreateVector(VT_I2, 0, 4);
                   wmi.Serve(With(RawTablesInstance(kTable, 3, 2), L"SMBiosData",
                                  CIM_SINT32 | CIM_FLAG_ARRAY, OwnedVariant::Adopt(words)));
                 },
                 false, CallsThenReleases(8, kReleaseAll), 3, 2},
        ReadCase{"table data a byte array without an array",
                 [](WmiDouble& wmi) {
                   wmi.Serve(With(RawTablesInstance(kTable, 3, 2), L"SMBiosData",
                                  CIM_UINT8 | CIM_FLAG_ARRAY,
                                  OwnedVariant::Adopt(NullByteArray())));
                 },
                 false, CallsThenReleases(8, kReleaseAll), 3, 2},
        // A version served as a string is read for its low byte like any value (here a
        // byte of the string's address, so not checked); the string must still be freed.
        ReadCase{"a version that owns memory is cleared before the VARIANT is reused",
                 [](WmiDouble& wmi) {
                   wmi.Serve(With(RawTablesInstance(kTable, 3, 2), L"SmbiosMajorVersion",
                                  CIM_STRING, OwnedVariant::String(L"three")));
                 },
                 true, CallsThenReleases(8, kReleaseAll), std::nullopt, 2, kTable}),
    test_support::CaseName());

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitApplies = false;  // the sanitizer reserves terabytes
#else
constexpr bool kAddressSpaceLimitApplies = true;
#endif

std::size_t AddressSpaceInUse() {
  std::size_t pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%zu", &pages) != 1) {
      pages = 0;
    }
    std::fclose(statm);
  }
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// In a child process: reads with address space left for one more copy of the table and a
// little more; 0 when the read failed cleanly.
int ReadWithRoomForOneCopy(std::size_t tableBytes) {
  const Holdings before;
  const rlim_t limit = AddressSpaceInUse() + tableBytes + (16u << 20);
  const rlimit addressSpace{limit, limit};
  if (setrlimit(RLIMIT_AS, &addressSpace) != 0) {
    return 2;
  }
  SmbiosTable table{};
  const bool result = ReadRawSmbiosTable(table);
  return !result && table.data == nullptr && table.size == 0 && Holdings() == before ? 0 : 1;
}

// Out of memory for the copy: the provider's own copy of a 64 MiB table still fits under
// the limit, the probe's copy of it cannot.
TEST(ReadRawSmbiosTableDeathTest, FailsAndReleasesEverythingWhenTheCopyCannotBeAllocated) {
  if (!kAddressSpaceLimitApplies) {
    GTEST_SKIP() << "address space limits cannot be used under AddressSanitizer";
  }
  constexpr std::size_t kTableBytes = 64u << 20;
  WmiDouble wmi;
  wmi.Serve(RawTablesInstance(std::string(kTableBytes, '\x7f'), 3, 2));
  EXPECT_EXIT(std::_Exit(ReadWithRoomForOneCopy(kTableBytes)), testing::ExitedWithCode(0), "");
}

TEST(ReadRawSmbiosTable, JoinsAnApartmentTheThreadAlreadyHasAndBalancesIt) {
  WmiDouble wmi;
  wmi.Serve(RawTablesInstance(kTable, 3, 2));
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);

  SmbiosTable table{};
  EXPECT_TRUE(ReadRawSmbiosTable(table));
  EXPECT_EQ(winapi_host::ApartmentDepth(), 1) << "the read's own entry was not balanced";
  EXPECT_EQ(wmi.Calls(), CallsThenReleases(8, kReleaseAll));

  ReleaseSmbiosTable(table);
  CoUninitialize();
}

TEST(ReadRawSmbiosTable, FailsWithoutUninitialisingInAnotherApartmentModel) {
  WmiDouble wmi;
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);

  SmbiosTable table{};
  EXPECT_FALSE(ReadRawSmbiosTable(table));
  EXPECT_EQ(winapi_host::ApartmentDepth(), 1) << "the caller's apartment was left";
  EXPECT_TRUE(wmi.Calls().empty());
  EXPECT_EQ(table.data, nullptr);

  ReleaseSmbiosTable(table);
  CoUninitialize();
}

}  // namespace
