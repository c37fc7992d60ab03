// Owners for what a COM client obtains, each releasing it when it goes out of scope.
// Declared in the order things are obtained, they are released in the reverse order.
#pragma once

#include <windows.h>

namespace com {

// Membership of the calling thread in a COM apartment, when CoInitializeEx grants it.
class Apartment {
 public:
  explicit Apartment(DWORD concurrencyModel)
      : joined_(SUCCEEDED(CoInitializeEx(nullptr, concurrencyModel))) {}
  ~Apartment() {
    if (joined_) {
      CoUninitialize();
    }
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

  bool Joined() const { return joined_; }

 private:
  bool joined_;
};

// One reference to an interface.
template <typename Interface>
class Ref {
 public:
  Ref() = default;
  ~Ref() { Reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;

  Interface* Get() const { return interface_; }
  Interface* operator->() const { return interface_; }

  // Where a call stores a new reference; any reference held before is released.
  Interface** Out() {
    Reset();
    return &interface_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

 private:
  void Reset() {
    if (interface_ != nullptr) {
      interface_->Release();
      interface_ = nullptr;
    }
  }

  Interface* interface_ = nullptr;
};

// A BSTR copy of a string, for arguments that a proxy marshals by the BSTR's length.
class Bstr {
 public:
  explicit Bstr(const OLECHAR* text) : text_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  operator BSTR() const { return text_; }

 private:
  BSTR text_;
};

// A VARIANT that is cleared when it is reused and when it goes out of scope.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  const VARIANT& Get() const { return value_; }

  // Clears what an earlier call stored and hands the VARIANT to the next one.
  VARIANT* Reset() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

}  // namespace com
