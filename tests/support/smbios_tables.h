// SMBIOS structure tables for tests: built structure by structure, or read from the
// captured tables in tests/data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// One structure: a formatted area of `formattedLength` bytes whose handle and fields
// are all zero, then its strings, closed by the extra zero byte.
std::string Structure(std::uint8_t type, const std::vector<std::string>& strings = {},
                      std::uint8_t formattedLength = 4);

// The end-of-table structure, type 127.
std::string EndOfTable();

// An entry point structure of `length` bytes starting with `anchor`, with `bytes` set at
// their offsets and every other byte zero.
std::string EntryPoint(const std::string& anchor, std::size_t length,
                       std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes);

// The bytes of a file in tests/data.
std::string ReadTestTable(const std::string& fileName);

}  // namespace test_support
