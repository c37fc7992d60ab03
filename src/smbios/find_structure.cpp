// The walk over the structure table (DMTF DSP0134): each structure is a formatted area
// of the length its second byte states, then a string set closed by two zero bytes.
#include <cstring>

#include "smbios_table.h"

namespace {

// Bytes from the structure's type byte up to and including the two zero bytes that
// close its string set, searched from the stored formatted length on; 0 when the length
// byte or that pair is not inside the `remaining` bytes.
uint32_t StructureSize(const uint8_t* structure, uint32_t remaining) {
  if (remaining < 2) {
    return 0;
  }
  uint32_t at = structure[1];
  while (at < remaining && remaining - at >= 2) {
    // A pair can start at any byte but the last one.
    const auto* zero =
        static_cast<const uint8_t*>(std::memchr(structure + at, 0, remaining - at - 1));
    if (zero == nullptr) {
      return 0;
    }
    at = static_cast<uint32_t>(zero - structure);
    if (structure[at + 1] == 0) {
      return at + 2;
    }
    at += 2;  // the byte after this zero is not zero, so no pair starts there either
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
