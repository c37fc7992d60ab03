#include <gtest/gtest.h>

#include <functional>

#include <wbemidl.h>

#include "afx_console.h"
#include "case_name.h"
#include "run_probe.h"
#include "smbios_tables.h"
#include "winapi_host/diagnostics.h"
#include "wmi_double.h"

namespace {

using test_support::EndOfTable;
using test_support::RawTablesInstance;
using test_support::Structure;
using test_support::WmiDouble;
using winapi_host::WmiMethod;

constexpr uint8_t kVendorType = 0xD0;

struct RunCase {
  const char* name;
  std::function<void(WmiDouble&)> script;
  int expectedStatus;
};

void PrintTo(const RunCase& c, std::ostream* out) { *out << c.name; }

void ServeTable(WmiDouble& wmi, const std::string& table) { wmi.Serve(RawTablesInstance(table)); }

class RunProbeTest : public testing::TestWithParam<RunCase> {};

TEST_P(RunProbeTest, ReportsTheOutcomeAsItsStatus) {
  const RunCase& c = GetParam();
  WmiDouble wmi;
  c.script(wmi);

  EXPECT_EQ(RunProbe(kVendorType), c.expectedStatus) << c.name;
  EXPECT_EQ(winapi_host::LiveComObjects(), 0) << c.name;
  EXPECT_EQ(winapi_host::ApartmentDepth(), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, RunProbeTest,
    testing::Values(
        RunCase{"vendor structure present",
                [](WmiDouble& wmi) {
                  ServeTable(wmi, Structure(0) + Structure(kVendorType, {"OEM"}) + EndOfTable());
                },
                kStructurePresent},
        RunCase{"vendor structure only after type 127",
                [](WmiDouble& wmi) {
                  ServeTable(wmi, Structure(0) + EndOfTable() + Structure(kVendorType));
                },
                kStructurePresent},
        RunCase{"another OEM type only",
                [](WmiDouble& wmi) {
                  ServeTable(wmi, Structure(0) + Structure(kVendorType + 1) + EndOfTable());
                },
                kStructureAbsent},
        RunCase{"empty table", [](WmiDouble& wmi) { ServeTable(wmi, ""); }, kStructureAbsent},
        RunCase{"no instance published", [](WmiDouble& wmi) { wmi.ServeNothing(); },
                kTableUnreadable},
        RunCase{"no WMI locator",
                [](WmiDouble& wmi) { wmi.Fail(WmiMethod::CreateLocator, REGDB_E_CLASSNOTREG); },
                kTableUnreadable},
        RunCase{"version properties missing",
                [](WmiDouble& wmi) {
                  wmi.Serve(test_support::Without(RawTablesInstance(Structure(kVendorType)),
                                                  L"SmbiosMajorVersion"));
                },
                kTableUnreadable}),
    test_support::CaseName());

TEST(RunProbe, InitialisesTheFrameworkWithTheModuleAndCommandLine) {
  WmiDouble wmi;
  wchar_t sentinel[] = L"sentinel";
  AfxWinInit(nullptr, nullptr, sentinel, 5);

  RunProbe(kVendorType);

  const AfxModuleStartup& startup = AfxGetModuleStartup();
  EXPECT_NE(startup.instance, nullptr);
  EXPECT_EQ(startup.instance, GetModuleHandleW(nullptr));
  EXPECT_EQ(startup.commandLine, GetCommandLineW());
  EXPECT_EQ(startup.showCommand, 0);
}

}  // namespace
