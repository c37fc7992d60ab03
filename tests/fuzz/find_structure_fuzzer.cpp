// Any bytes as a table, any type: the walk returns null or a pointer inside the table at
// a byte equal to the type, and reads nothing outside the table (AddressSanitizer watches
// an allocation of exactly the table's size). It also finds what a plain byte-by-byte walk
// finds. The first input byte is the type.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "smbios_table.h"

namespace {

// The walk done the plainest way: offset of the first structure of `type`, or `size`.
uint32_t ByteByByteWalk(const uint8_t* table, uint32_t size, uint8_t type) {
  uint64_t offset = 0;
  while (offset < size) {
    if (table[offset] == type) {
      return static_cast<uint32_t>(offset);
    }
    if (offset + 1 >= size) {
      return size;
    }
    uint64_t pair = offset + table[offset + 1];
    while (pair + 1 < size && (table[pair] != 0 || table[pair + 1] != 0)) {
      ++pair;
    }
    if (pair + 1 >= size) {
      return size;
    }
    offset = pair + 2;
  }
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length) {
  if (length == 0 || length - 1 > UINT32_MAX) {
    return 0;
  }
  const uint8_t type = input[0];
  const uint32_t size = static_cast<uint32_t>(length - 1);
  const std::unique_ptr<uint8_t[]> bytes(new uint8_t[size]);
  if (size > 0) {
    std::memcpy(bytes.get(), input + 1, size);
  }
  const SmbiosTable table{3, 0, bytes.get(), size};

  const uint8_t* found = FindStructure(table, type);
  const uint32_t expected = ByteByByteWalk(bytes.get(), size, type);
  if (found == nullptr) {
    if (expected != size) {
      std::abort();
    }
    return 0;
  }
  const auto offset = static_cast<size_t>(found - bytes.get());
  if (found < bytes.get() || offset >= size || *found != type || offset != expected) {
    std::abort();
  }
  return 0;
}
