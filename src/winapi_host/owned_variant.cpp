#include "winapi_host/owned_variant.h"

using winapi_host::OwnedVariant;

OwnedVariant::OwnedVariant() { VariantInit(&value_); }

OwnedVariant::OwnedVariant(const OwnedVariant& other) : OwnedVariant() {
  VariantCopy(&value_, &other.value_);
}

OwnedVariant& OwnedVariant::operator=(const OwnedVariant& other) {
  if (this != &other) {
    VariantCopy(&value_, &other.value_);
  }
  return *this;
}

OwnedVariant::OwnedVariant(OwnedVariant&& other) noexcept : value_(other.value_) {
  VariantInit(&other.value_);
}

OwnedVariant& OwnedVariant::operator=(OwnedVariant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

OwnedVariant::~OwnedVariant() { VariantClear(&value_); }

OwnedVariant OwnedVariant::Byte(std::uint8_t value) {
  OwnedVariant variant;
  V_VT(&variant.value_) = VT_UI1;
  V_UI1(&variant.value_) = value;
  return variant;
}

OwnedVariant OwnedVariant::Int32(std::int32_t value) {
  OwnedVariant variant;
  V_VT(&variant.value_) = VT_I4;
  V_I4(&variant.value_) = value;
  return variant;
}

OwnedVariant OwnedVariant::Boolean(bool value) {
  OwnedVariant variant;
  V_VT(&variant.value_) = VT_BOOL;
  V_BOOL(&variant.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return variant;
}

OwnedVariant OwnedVariant::String(const OLECHAR* text) {
  OwnedVariant variant;
  V_VT(&variant.value_) = VT_BSTR;
  V_BSTR(&variant.value_) = SysAllocString(text);
  return variant;
}

OwnedVariant OwnedVariant::ByteArray(const std::uint8_t* bytes, std::size_t count) {
  // A copy of an array that only describes the caller's bytes: one pass over them.
  SAFEARRAY source{};
  source.cDims = 1;
  source.cbElements = 1;
  source.pvData = const_cast<std::uint8_t*>(bytes);
  source.rgsabound[0] = {static_cast<ULONG>(count), 0};
  OwnedVariant variant;
  V_VT(&variant.value_) = VT_ARRAY | VT_UI1;
  SafeArrayCopy(&source, &V_ARRAY(&variant.value_));
  return variant;
}

OwnedVariant OwnedVariant::Adopt(const VARIANT& value) {
  OwnedVariant variant;
  variant.value_ = value;
  return variant;
}
