#include "utf8.h"

#include <cstdint>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Length of the sequence that `lead` begins, and the bits it contributes; 0 when invalid.
int SequenceLength(unsigned char lead, std::uint32_t& bits) {
  if (lead < 0x80) {
    bits = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead < 0xE0) {
    bits = lead & 0x1Fu;
    return 2;
  }
  if (lead >= 0xE0 && lead < 0xF0) {
    bits = lead & 0x0Fu;
    return 3;
  }
  if (lead >= 0xF0 && lead < 0xF5) {
    bits = lead & 0x07u;
    return 4;
  }
  return 0;
}

bool IsValidScalar(std::uint32_t code, int length) {
  constexpr std::uint32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
  return code >= kSmallestOfLength[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

}  // namespace

std::size_t winapi_host::WidenUtf8Into(std::string_view bytes, wchar_t* out) {
  std::size_t written = 0;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[offset]);
    if (lead < 0x80) {
      out[written++] = static_cast<wchar_t>(lead);
      ++offset;
      continue;
    }
    const std::size_t remaining = bytes.size() - offset;
    std::uint32_t code = 0;
    const int length = SequenceLength(lead, code);
    bool valid = length > 0 && static_cast<std::size_t>(length) <= remaining;
    for (int i = 1; valid && i < length; ++i) {
      const auto next = static_cast<unsigned char>(bytes[offset + i]);
      valid = (next & 0xC0u) == 0x80u;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (valid && IsValidScalar(code, length)) {
      out[written++] = static_cast<wchar_t>(code);
      offset += static_cast<std::size_t>(length);
    } else {
      out[written++] = kReplacement;
      ++offset;
    }
  }
  return written;
}

std::wstring winapi_host::WidenUtf8(std::string_view bytes) {
  std::wstring wide(bytes.size(), L'\0');
  wide.resize(WidenUtf8Into(bytes, wide.data()));
  return wide;
}
