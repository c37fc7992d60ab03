#include "smbios_entry_point.h"

#include <cstdint>

namespace {

// Structure lengths and field offsets of the three entry point formats.
constexpr std::size_t kSm3Length = 0x18;
constexpr std::size_t kSm3Major = 0x07;
constexpr std::size_t kSm3Minor = 0x08;
constexpr std::size_t kSm3DocumentRevision = 0x09;

constexpr std::size_t kSmLength = 0x1F;
constexpr std::size_t kSmMajor = 0x06;
constexpr std::size_t kSmMinor = 0x07;
constexpr std::size_t kSmBcdRevision = 0x1E;

constexpr std::size_t kDmiLength = 0x0F;
constexpr std::size_t kDmiBcdRevision = 0x0E;

std::uint8_t ByteAt(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint8_t>(bytes[offset]);
}

bool Starts(std::string_view bytes, std::string_view anchor, std::size_t length) {
  return bytes.size() >= length && bytes.substr(0, anchor.size()) == anchor;
}

}  // namespace

std::optional<winapi_host::SmbiosVersion> winapi_host::ParseSmbiosEntryPoint(
    std::string_view entryPoint) {
  if (Starts(entryPoint, "_SM3_", kSm3Length)) {
    return SmbiosVersion{ByteAt(entryPoint, kSm3Major), ByteAt(entryPoint, kSm3Minor),
                         ByteAt(entryPoint, kSm3DocumentRevision)};
  }
  if (Starts(entryPoint, "_SM_", kSmLength)) {
    return SmbiosVersion{ByteAt(entryPoint, kSmMajor), ByteAt(entryPoint, kSmMinor),
                         ByteAt(entryPoint, kSmBcdRevision)};
  }
  if (Starts(entryPoint, "_DMI_", kDmiLength)) {
    const std::uint8_t bcd = ByteAt(entryPoint, kDmiBcdRevision);
    return SmbiosVersion{static_cast<std::uint8_t>(bcd >> 4), static_cast<std::uint8_t>(bcd & 0x0F),
                         bcd};
  }
  return std::nullopt;
}
