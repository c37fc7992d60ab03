// SMBIOS structure tables for tests: built structure by structure, or read from the
// captured tables in tests/data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// One structure: a formatted area of `formattedLength` bytes whose handle and fields
// are all zero, then its strings, closed by the extra zero byte.
std::string Structure(std::uint8_t type, const std::vector<std::string>& strings = {},
                      std::uint8_t formattedLength = 4);

// The end-of-table structure, type 127.
std::string EndOfTable();

// The bytes of a file in tests/data.
std::string ReadTestTable(const std::string& fileName);

}  // namespace test_support
