#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "smbios_table.h"
#include "case_name.h"
#include "smbios_tables.h"

namespace {

using test_support::EndOfTable;
using test_support::ReadTestTable;
using test_support::Structure;

// A copy of `bytes` in a heap block of exactly their size, so that a sanitizer build
// reports any read past the table's end.
class ExactTable {
 public:
  explicit ExactTable(const std::string& bytes)
      : storage_(new uint8_t[bytes.size()]), table_{3, 0, storage_.get(), uint32_t(bytes.size())} {
    std::copy(bytes.begin(), bytes.end(), storage_.get());
  }
  const SmbiosTable& Get() const { return table_; }

 private:
  std::unique_ptr<uint8_t[]> storage_;
  SmbiosTable table_;
};

struct WalkCase {
  const char* name;
  std::string table;
  uint8_t type;
  std::optional<uint32_t> expectedOffset;  // none: null
};

void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }

class FindStructureTest : public testing::TestWithParam<WalkCase> {};

TEST_P(FindStructureTest, FindsTheFirstStructureOfTheTypeOrNone) {
  const WalkCase& c = GetParam();
  const ExactTable table(c.table);
  const uint8_t* found = FindStructure(table.Get(), c.type);
  if (!c.expectedOffset) {
    EXPECT_EQ(found, nullptr) << c.name << ": found a structure at offset "
                              << (found - table.Get().data);
    return;
  }
  ASSERT_NE(found, nullptr) << c.name << ": found nothing";
  EXPECT_EQ(found - table.Get().data, *c.expectedOffset) << c.name;
  EXPECT_EQ(*found, c.type) << c.name;
}

const std::string kNoStrings = Structure(1, {}, 8);
const std::string kTwoStrings = Structure(2, {"Vendor", "Product"}, 11);
const std::string kVendor = Structure(0xC0, {"OEM"}, 6);
const std::string kLaptop = ReadTestTable("laptop-v3.2.bin");
// The laptop table cut inside the string set of its type-128 structure at 1013.
const std::string kLaptopCut = kLaptop.substr(0, 1040);

std::string Without2(std::string bytes) { return bytes.substr(0, bytes.size() - 2); }

INSTANTIATE_TEST_SUITE_P(
    BuiltTables, FindStructureTest,
    testing::Values(
        WalkCase{"first structure matches", kVendor + EndOfTable(), 0xC0, 0},
        WalkCase{"third structure, after one without strings and one with two",
                 kNoStrings + kTwoStrings + kVendor + EndOfTable(), 0xC0,
                 uint32_t(kNoStrings.size() + kTwoStrings.size())},
        WalkCase{"no structure of the type: walked to the end",
                 kNoStrings + kTwoStrings + EndOfTable(), 0xC0, std::nullopt},
        WalkCase{"type 127 before the wanted structure is walked over",
                 kNoStrings + EndOfTable() + kVendor, 0xC0,
                 uint32_t(kNoStrings.size() + EndOfTable().size())},
        WalkCase{"type 127 can be asked for", kNoStrings + EndOfTable(), 127,
                 uint32_t(kNoStrings.size())},
        WalkCase{"ten zero bytes, type 0", std::string(10, '\0'), 0, 0},
        WalkCase{"ten zero bytes, another type: five two-byte steps", std::string(10, '\0'), 0xC0,
                 std::nullopt},
        WalkCase{"zero bytes after type 127 read as type-0 structures",
                 kNoStrings + EndOfTable() + std::string(4, '\0'), 0,
                 uint32_t(kNoStrings.size() + EndOfTable().size())},
        WalkCase{"last string set cut off by the end of the table",
                 kNoStrings + Without2(kTwoStrings), 0xC0, std::nullopt},
        WalkCase{"last string set cut off, but that structure is the match",
                 kNoStrings + Without2(kVendor), 0xC0, uint32_t(kNoStrings.size())},
        WalkCase{"only a type byte left, not the match", kNoStrings + "\x01", 0xC0, std::nullopt},
        WalkCase{"only a type byte left, and it matches", kNoStrings + "\xC0", 0xC0,
                 uint32_t(kNoStrings.size())},
        WalkCase{"formatted length reaches past the end",
                 kNoStrings + Structure(3, {}, 40).substr(0, 20), 0xC0, std::nullopt},
        WalkCase{"one zero byte after the formatted area at the end",
                 kNoStrings + Structure(3, {}, 6).substr(0, 7), 0xC0, std::nullopt},
        // Lengths are used as stored: a length of 0 searches for the closing pair from
        // the type byte on, so [05 00 00] is one structure of three bytes.
        WalkCase{"formatted length 0 is used as stored", std::string("\x05\x00\x00", 3) + kVendor,
                 0xC0, 3},
        WalkCase{"formatted length 1 is used as stored",
                 std::string("\x05\x01\x00\x00", 4) + kVendor, 0xC0, 4},
        // Strings of 6, 7 and 8 characters put the closing pair at each place around the end
        // of an eight-byte stretch after the formatted area.
        WalkCase{"closing pair just inside eight bytes", Structure(1, {"abcdef"}) + kVendor, 0xC0,
                 12},
        WalkCase{"closing pair across eight bytes", Structure(1, {"abcdefg"}) + kVendor, 0xC0, 13},
        WalkCase{"closing pair just past eight bytes", Structure(1, {"abcdefgh"}) + kVendor, 0xC0,
                 14},
        WalkCase{"zero bytes apart, not a pair", Structure(1, {"a", "b", "c", "d", "e"}) + kVendor,
                 0xC0, 15},
        WalkCase{"empty table", "", 0, std::nullopt}),
    test_support::CaseName());

INSTANTIATE_TEST_SUITE_P(
    CapturedTables, FindStructureTest,
    testing::Values(WalkCase{"laptop: its one OEM structure", kLaptop, 128, 1013},
                    WalkCase{"laptop: type 127 at the end", kLaptop, 127, 1065},
                    WalkCase{
                        "laptop cut inside the type-128 string set: still found from its type byte",
                        kLaptopCut, 128, 1013},
                    WalkCase{"laptop cut inside the type-128 string set: nothing after it",
                             kLaptopCut, 127, std::nullopt},
                    WalkCase{"desktop board: no OEM structure", ReadTestTable("desktop-board.bin"),
                             0xC0, std::nullopt},
                    WalkCase{"desktop board: type 127 at the end",
                             ReadTestTable("desktop-board.bin"), 127, 1803},
                    WalkCase{"server with an OEM structure first",
                             ReadTestTable("server-oem-first.bin"), 218, 0},
                    WalkCase{"server with OEM structures: a later type",
                             ReadTestTable("server-oem-first.bin"), 177, 2673},
                    WalkCase{"dual-socket server: no OEM structure",
                             ReadTestTable("server-dual-socket.bin"), 128, std::nullopt},
                    WalkCase{"quad-socket server: type 127 at the end",
                             ReadTestTable("server-quad-socket.bin"), 127, 4935},
                    WalkCase{"mini PC without type 127: an OEM type",
                             ReadTestTable("mini-pc-truncated.bin"), 221, 2437},
                    WalkCase{"mini PC without type 127: absent type walked to the end",
                             ReadTestTable("mini-pc-truncated.bin"), 0xC0, std::nullopt},
                    // After its zero-length structure at 478 the walk is out of step with the real
                    // structures and reads a handle byte at 480 as a type-5 structure.
                    WalkCase{"VM table: a zero length is taken as stored",
                             ReadTestTable("vm-zero-length.bin"), 5, 480},
                    WalkCase{"VM table: no OEM structure", ReadTestTable("vm-zero-length.bin"),
                             0x80, std::nullopt}),
    test_support::CaseName());

TEST(FindStructure, NullDataIsAnEmptyTable) {
  const SmbiosTable table{3, 0, nullptr, 10};
  EXPECT_EQ(FindStructure(table, 0), nullptr);
}

}  // namespace
