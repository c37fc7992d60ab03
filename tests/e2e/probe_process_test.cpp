// The built probes run as processes: the host executable against firmware tables laid
// where its WMI provider reads them, the Windows executables under Wine with the test WMI
// provider serving the same tables. Every build must answer every table alike.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "case_name.h"
#include "probe_runs.h"
#include "smbios_tables.h"

namespace {

using test_support::EndOfTable;
using test_support::FirmwareTables;
using test_support::ProbeBuild;
using test_support::ProcessOutcome;
using test_support::PublishedTable;
using test_support::ReadTestTable;
using test_support::SmbiosVersionNumber;
using test_support::Structure;

constexpr uint8_t kVendorType = SMBIOS_PROBE_VENDOR_TYPE;
constexpr int kPresent = 0;
constexpr int kAbsent = 1;
constexpr int kUnreadable = 255;  // -1, as Linux and Wine report an exit status
constexpr SmbiosVersionNumber kVersion32{3, 2};

const std::string kVendor = Structure(kVendorType, {"Vendor data"}, 8);
const std::string kOther = Structure(kVendorType == 255 ? 254 : kVendorType + 1, {"Other"});
const std::string kBios = Structure(0, {"BIOS vendor", "1.0"}, 0x18);

// Skips where this machine cannot run a build as a test needs, but never in CI.
// Under Wine, standard error also carries Wine's own messages, so only the host's is checked.
void ExpectOutcome(const std::string& name, const ProcessOutcome& outcome, int expected,
                   bool checkErrors) {
  if (!outcome.setupProblem.empty()) {
    if (std::getenv("CI") != nullptr) {
      ADD_FAILURE() << name << ": the probe could not be run: " << outcome.setupProblem;
      return;
    }
    GTEST_SKIP() << name << ": the probe could not be run here (" << outcome.setupProblem
                 << "); run as root or where unprivileged user namespaces are allowed, and "
                    "give the Windows builds and Wine for the Windows runs";
  }
  EXPECT_EQ(outcome.exitStatus, expected) << name;
  EXPECT_EQ(outcome.output, "") << name << ": the probe printed something";
  if (checkErrors) {
    EXPECT_EQ(outcome.errors, "") << name << ": the probe printed an error";
  }
}

struct ProcessCase {
  std::string name;
  PublishedTable table;
  int expectedStatus;
  std::vector<std::string> arguments = {};
};

// The OEM types a walk of each captured table meets, as the walk defines them.
struct CapturedTable {
  const char* name;
  const char* file;
  std::set<int> oemTypes;
};

std::vector<ProcessCase> CapturedTableCases() {
  const CapturedTable tables[] = {
      {"desktop board", "desktop-board.bin", {}},
      {"laptop", "laptop-v3.2.bin", {128}},
      {"mini PC", "mini-pc-truncated.bin", {131, 221}},
      {"OEM structure first", "server-oem-first.bin", {177, 208, 210, 216, 218, 222, 225}},
      {"dual-socket server", "server-dual-socket.bin", {}},
      {"quad-socket server", "server-quad-socket.bin", {}},
      {"VM with a zero-length structure", "vm-zero-length.bin", {}},
  };
  std::vector<ProcessCase> cases;
  for (const CapturedTable& table : tables) {
    cases.push_back({std::string("captured ") + table.name,
                     {ReadTestTable(table.file), kVersion32},
                     table.oemTypes.count(kVendorType) != 0 ? kPresent : kAbsent});
  }
  return cases;
}

const std::vector<ProcessCase> kBuiltTableCases = {
    {"vendor structure present", {kBios + kVendor + EndOfTable(), kVersion32}, kPresent},
    {"vendor structure only after type 127",
     {kBios + EndOfTable() + kVendor, kVersion32},
     kPresent},
    {"another OEM type only", {kBios + kOther + EndOfTable(), kVersion32}, kAbsent},
    {"empty table", {"", kVersion32}, kAbsent},
    {"vendor structure cut off inside its strings",
     {kBios + kVendor.substr(0, kVendor.size() - 3), kVersion32},
     kPresent},
    {"table cut off before the vendor structure",
     {kBios.substr(0, kBios.size() - 1) + kVendor, kVersion32},
     kAbsent},
    {"options are not taken", {kBios + kVendor, kVersion32}, kPresent, {"--help", "/?", "-t", "0"}},
    {"no table published", {std::nullopt, kVersion32}, kUnreadable},
    {"table without a readable version", {kBios + kVendor, std::nullopt}, kUnreadable},
};

void PrintTo(const ProcessCase& c, std::ostream* out) { *out << c.name; }

using BuildAndCase = std::tuple<ProbeBuild, ProcessCase>;

class ProbeProcessTest : public testing::TestWithParam<BuildAndCase> {};

TEST_P(ProbeProcessTest, ExitsWithTheStatusOfTheWalk) {
  const auto& [build, c] = GetParam();
  ExpectOutcome(std::string(NameOf(build)) + ": " + c.name, RunProbe(build, c.table, c.arguments),
                c.expectedStatus, build == ProbeBuild::Host);
}

std::string BuildAndCaseName(const testing::TestParamInfo<BuildAndCase>& info) {
  return std::string(NameOf(std::get<0>(info.param))) + "_" +
         test_support::IdentifierFrom(std::get<1>(info.param).name);
}

const auto kAllBuilds =
    testing::Values(ProbeBuild::Host, ProbeBuild::WindowsX64, ProbeBuild::WindowsX86);

INSTANTIATE_TEST_SUITE_P(BuiltTables, ProbeProcessTest,
                         testing::Combine(kAllBuilds, testing::ValuesIn(kBuiltTableCases)),
                         BuildAndCaseName);

INSTANTIATE_TEST_SUITE_P(CapturedTables, ProbeProcessTest,
                         testing::Combine(kAllBuilds, testing::ValuesIn(CapturedTableCases())),
                         BuildAndCaseName);

std::string EntryPoint32(uint8_t major, uint8_t minor) {
  std::string entry = test_support::EntryPoint("_SM_", 0x1F, {{5, 0x1F}, {6, major}, {7, minor}});
  entry.replace(0x10, 5, "_DMI_");
  return entry;
}

std::string LegacyEntryPoint(uint8_t bcdRevision) {
  return test_support::EntryPoint("_DMI_", 0x0F, {{0x0E, bcdRevision}});
}

// The entry point formats that the host's provider reads the version from.
TEST(HostProbeProcess, ReadsTheVersionFromEveryEntryPointFormat) {
  const struct {
    const char* name;
    std::optional<std::string> entryPoint;
    int expected;
  } cases[] = {
      {"64-bit entry point", test_support::EntryPoint64(kVersion32), kPresent},
      {"32-bit entry point", EntryPoint32(2, 8), kPresent},
      {"legacy DMI entry point", LegacyEntryPoint(0x21), kPresent},
      {"unknown entry point", std::string("_XYZ_ nothing to read here"), kUnreadable},
      {"no entry point", std::nullopt, kUnreadable},
  };
  for (const auto& c : cases) {
    ExpectOutcome(c.name, test_support::RunHostProbe({kBios + kVendor, c.entryPoint}), c.expected,
                  true);
  }
}

class WindowsProbeProcessTest : public testing::TestWithParam<ProbeBuild> {};

TEST_P(WindowsProbeProcessTest, FailsOnTableDataOfAnotherType) {
  ExpectOutcome("SMBiosData served as a string",
                RunWindowsProbe(GetParam(), {kBios + kVendor, kVersion32}, "wrong-data-type"),
                kUnreadable, false);
}

// Wine's own WMI publishes the class without its version properties.
TEST_P(WindowsProbeProcessTest, FailsQuietlyOnWinesOwnWmi) {
  ExpectOutcome("Wine's own WMI", RunWindowsProbe(GetParam(), {}, "wine-wmi"), kUnreadable, false);
}

INSTANTIATE_TEST_SUITE_P(UnderWine, WindowsProbeProcessTest,
                         testing::Values(ProbeBuild::WindowsX64, ProbeBuild::WindowsX86),
                         [](const testing::TestParamInfo<ProbeBuild>& info) {
                           return std::string(NameOf(info.param));
                         });

}  // namespace
