#include "smbios_tables.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test_support {

std::string Structure(std::uint8_t type, const std::vector<std::string>& strings,
                      std::uint8_t formattedLength) {
  // The type and length bytes are written even where the stated length leaves them out.
  std::string bytes = {static_cast<char>(type), static_cast<char>(formattedLength)};
  if (formattedLength > bytes.size()) {
    bytes.resize(formattedLength, '\0');
  }
  for (const std::string& text : strings) {
    bytes += text;
    bytes += '\0';
  }
  if (strings.empty()) {
    bytes += '\0';
  }
  bytes += '\0';
  return bytes;
}

std::string EndOfTable() { return Structure(127); }

std::string EntryPoint(const std::string& anchor, std::size_t length,
                       std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
  std::string entry(length, '\0');
  entry.replace(0, anchor.size(), anchor);
  for (const auto& [offset, value] : bytes) {
    entry[offset] = static_cast<char>(value);
  }
  return entry;
}

std::string ReadTestTable(const std::string& fileName) {
  const std::string path = std::string(SMBIOS_PROBE_TEST_DATA) + "/" + fileName;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read test table " + path);
  }
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace test_support
