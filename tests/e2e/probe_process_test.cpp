// The built smbios-probe, run as a process against firmware tables laid where the
// host's WMI provider reads them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "case_name.h"
#include "firmware_namespace.h"
#include "smbios_tables.h"

namespace {

using test_support::EndOfTable;
using test_support::FirmwareTables;
using test_support::ReadTestTable;
using test_support::Structure;

constexpr uint8_t kVendorType = SMBIOS_PROBE_VENDOR_TYPE;
constexpr int kPresent = 0;
constexpr int kAbsent = 1;
constexpr int kUnreadable = 255;  // -1, as Linux reports an exit status

std::string EntryPoint64(uint8_t major, uint8_t minor) {
  std::string entry(0x18, '\0');
  entry.replace(0, 5, "_SM3_");
  entry[6] = 0x18;
  entry[7] = static_cast<char>(major);
  entry[8] = static_cast<char>(minor);
  return entry;
}

std::string EntryPoint32(uint8_t major, uint8_t minor) {
  std::string entry(0x1F, '\0');
  entry.replace(0, 4, "_SM_");
  entry[5] = 0x1F;
  entry[6] = static_cast<char>(major);
  entry[7] = static_cast<char>(minor);
  entry.replace(0x10, 5, "_DMI_");
  return entry;
}

std::string LegacyEntryPoint(uint8_t bcdRevision) {
  std::string entry(0x0F, '\0');
  entry.replace(0, 5, "_DMI_");
  entry[0x0E] = static_cast<char>(bcdRevision);
  return entry;
}

const std::string kVendor = Structure(kVendorType, {"Vendor data"}, 8);
const std::string kOther = Structure(kVendorType == 255 ? 254 : kVendorType + 1, {"Other"});
const std::string kBios = Structure(0, {"BIOS vendor", "1.0"}, 0x18);

// Skips where this machine gives no private mount namespace, but never in CI.
void RequireNamespace(const test_support::ProcessOutcome& outcome) {
  if (outcome.setupProblem.empty()) {
    return;
  }
  if (std::getenv("CI") != nullptr) {
    FAIL() << "end-to-end runs need a private mount namespace: " << outcome.setupProblem;
  }
  GTEST_SKIP() << "no private mount namespace here (" << outcome.setupProblem
               << "); run as root or where unprivileged user namespaces are allowed";
}

void ExpectStatus(const char* name, const FirmwareTables& tables, int expected,
                  const std::vector<std::string>& arguments = {}) {
  const test_support::ProcessOutcome outcome =
      test_support::RunWithFirmwareTables(SMBIOS_PROBE_EXECUTABLE, arguments, tables);
  RequireNamespace(outcome);
  if (!outcome.setupProblem.empty()) {
    return;
  }
  EXPECT_EQ(outcome.exitStatus, expected) << name;
  EXPECT_EQ(outcome.output, "") << name << ": the probe printed something";
}

struct ProcessCase {
  const char* name;
  FirmwareTables tables;
  int expectedStatus;
  std::vector<std::string> arguments = {};
};

void PrintTo(const ProcessCase& c, std::ostream* out) { *out << c.name; }

class ProbeProcessTest : public testing::TestWithParam<ProcessCase> {};

TEST_P(ProbeProcessTest, ExitsWithTheStatusOfTheWalk) {
  const ProcessCase& c = GetParam();
  ExpectStatus(c.name, c.tables, c.expectedStatus, c.arguments);
}

INSTANTIATE_TEST_SUITE_P(
    BuiltTables, ProbeProcessTest,
    testing::Values(
        ProcessCase{"vendor structure present",
                    {kBios + kVendor + EndOfTable(), EntryPoint64(3, 2)},
                    kPresent},
        ProcessCase{"vendor structure only after type 127",
                    {kBios + EndOfTable() + kVendor, EntryPoint64(3, 2)},
                    kPresent},
        ProcessCase{
            "another OEM type only", {kBios + kOther + EndOfTable(), EntryPoint64(3, 2)}, kAbsent},
        ProcessCase{"empty table", {"", EntryPoint64(3, 0)}, kAbsent},
        ProcessCase{"vendor structure cut off inside its strings",
                    {kBios + kVendor.substr(0, kVendor.size() - 3), EntryPoint64(3, 2)},
                    kPresent},
        ProcessCase{"table cut off before the vendor structure",
                    {kBios.substr(0, kBios.size() - 1) + kVendor, EntryPoint64(3, 2)},
                    kAbsent},
        ProcessCase{"32-bit entry point", {kBios + kVendor, EntryPoint32(2, 8)}, kPresent},
        ProcessCase{"legacy DMI entry point", {kBios + kVendor, LegacyEntryPoint(0x21)}, kPresent},
        ProcessCase{"options are not taken",
                    {kBios + kVendor, EntryPoint64(3, 2)},
                    kPresent,
                    {"--help", "/?", "-t", "0"}},
        ProcessCase{"no table published", {}, kUnreadable},
        ProcessCase{"entry point but no table", {std::nullopt, EntryPoint64(3, 2)}, kUnreadable},
        ProcessCase{
            "table without a readable version", {kBios + kVendor, std::nullopt}, kUnreadable},
        ProcessCase{"table with an unknown entry point",
                    {kBios + kVendor, "_XYZ_ nothing here"},
                    kUnreadable}),
    test_support::CaseName());

// The OEM types a walk of each captured table meets, as the walk defines them.
struct CapturedTable {
  const char* name;
  const char* file;
  std::set<int> oemTypes;
};

void PrintTo(const CapturedTable& c, std::ostream* out) { *out << c.name; }

class CapturedTableTest : public testing::TestWithParam<CapturedTable> {};

TEST_P(CapturedTableTest, ReportsWhetherTheVendorTypeIsAmongItsStructures) {
  const CapturedTable& c = GetParam();
  ExpectStatus(c.name, {ReadTestTable(c.file), EntryPoint64(3, 2)},
               c.oemTypes.count(kVendorType) != 0 ? kPresent : kAbsent);
}

INSTANTIATE_TEST_SUITE_P(
    RealMachines, CapturedTableTest,
    testing::Values(CapturedTable{"desktop board", "desktop-board.bin", {}},
                    CapturedTable{"laptop", "laptop-v3.2.bin", {128}},
                    CapturedTable{"mini PC", "mini-pc-truncated.bin", {131, 221}},
                    CapturedTable{"OEM structure first",
                                  "server-oem-first.bin",
                                  {177, 208, 210, 216, 218, 222, 225}},
                    CapturedTable{"dual-socket server", "server-dual-socket.bin", {}},
                    CapturedTable{"quad-socket server", "server-quad-socket.bin", {}},
                    CapturedTable{"VM with a zero-length structure", "vm-zero-length.bin", {}}),
    test_support::CaseName());

}  // namespace
