// A VARIANT that owns what it holds, copies deeply and clears itself.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

namespace winapi_host {

class OwnedVariant {
 public:
  static OwnedVariant Byte(std::uint8_t value);
  static OwnedVariant Int32(std::int32_t value);
  static OwnedVariant Boolean(bool value);
  static OwnedVariant String(const OLECHAR* text);
  static OwnedVariant ByteArray(const std::uint8_t* bytes, std::size_t count);
  // Takes ownership of whatever `value` holds, even a malformed combination.
  static OwnedVariant Adopt(const VARIANT& value);

  OwnedVariant(const OwnedVariant& other);
  OwnedVariant& operator=(const OwnedVariant& other);
  // Moves hand over what is held, leaving the source empty.
  OwnedVariant(OwnedVariant&& other) noexcept;
  OwnedVariant& operator=(OwnedVariant&& other) noexcept;
  ~OwnedVariant();

  const VARIANT& Get() const { return value_; }

 private:
  OwnedVariant();

  VARIANT value_;
};

}  // namespace winapi_host
