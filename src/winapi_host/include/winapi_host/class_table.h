// The in-process COM classes that CoCreateInstance can create on the host, keyed by CLSID.
// Not part of the Windows API: tests use it to put a double in place of a real class.
#pragma once

#include <functional>

#include <windows.h>

namespace winapi_host {

// Creates a new object of the class and hands back its interface `iid` with one reference.
using ClassFactory = std::function<HRESULT(REFIID iid, void** object)>;

// Puts `factory` in place of the class `classId` for the lifetime of the guard.
class ScopedClassOverride {
 public:
  ScopedClassOverride(REFCLSID classId, ClassFactory factory);
  ~ScopedClassOverride();
  ScopedClassOverride(const ScopedClassOverride&) = delete;
  ScopedClassOverride& operator=(const ScopedClassOverride&) = delete;

 private:
  CLSID classId_;
  ClassFactory previous_;
};

}  // namespace winapi_host
