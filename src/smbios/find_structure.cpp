// The walk over the structure table (DMTF DSP0134): each structure is a formatted area
// of the length its second byte states, then a string set closed by two zero bytes.
#include <bit>
#include <cstring>

#include "smbios_table.h"

namespace {

static_assert(std::endian::native == std::endian::little,
              "the word-wise search reads the first byte as the lowest");

// Per byte of `word`, its high bit when the byte is zero, and nothing else.
uint64_t ZeroByteFlags(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// Bytes from the structure's type byte up to and including the two zero bytes that
// close its string set, searched from the stored formatted length on; 0 when the length
// byte or that pair is not inside the `remaining` bytes.
uint32_t StructureSize(const uint8_t* structure, uint32_t remaining) {
  if (remaining < 2) {
    return 0;
  }
  uint32_t at = structure[1];
  // Eight bytes at a time while all of them are inside; a pair starting in the first
  // seven of them lies wholly in the word, so the next word starts at the eighth.
  while (at < remaining && remaining - at >= sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, structure + at, sizeof word);
    const uint64_t zeros = ZeroByteFlags(word);
    const uint64_t pairs = zeros & (zeros >> 8);
    if (pairs != 0) {
      return at + static_cast<uint32_t>(std::countr_zero(pairs)) / 8 + 2;
    }
    at += sizeof(uint64_t) - 1;
  }
  // The last few bytes one by one; a pair can start at any byte but the last one.
  for (; at < remaining && remaining - at >= 2; ++at) {
    if (structure[at] == 0 && structure[at + 1] == 0) {
      return at + 2;
    }
  }
  return 0;
}

}  // namespace

const uint8_t* FindStructure(const SmbiosTable& table, uint8_t type) {
  if (table.data == nullptr) {
    return nullptr;
  }
  uint32_t offset = 0;
  while (offset < table.size) {
    const uint8_t* structure = table.data + offset;
    const uint32_t remaining = table.size - offset;
    // Matched on the type byte alone: nothing else of the structure need be inside.
    if (structure[0] == type) {
      return structure;
    }
    const uint32_t size = StructureSize(structure, remaining);
    if (size == 0) {
      return nullptr;
    }
    offset += size;
  }
  return nullptr;
}
