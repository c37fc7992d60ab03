// CoCreateInstance over the host's table of in-process classes.
#include <utility>
#include <vector>

#include <windows.h>
#include <wbemidl.h>

#include "winapi_host/class_table.h"
#include "winapi_host/diagnostics.h"
#include "wmi/firmware_wmi_provider.h"

namespace {

struct ClassEntry {
  CLSID classId;
  winapi_host::ClassFactory factory;
};

std::vector<ClassEntry>& ClassTable() {
  static std::vector<ClassEntry> table = {
      {CLSID_WbemLocator, winapi_host::CreateFirmwareWmiLocator},
  };
  return table;
}

ClassEntry* FindClass(REFCLSID classId) {
  for (ClassEntry& entry : ClassTable()) {
    if (entry.classId == classId) {
      return &entry;
    }
  }
  return nullptr;
}

// Stores `factory` for `classId` (an empty one unregisters) and returns what was there.
winapi_host::ClassFactory ExchangeFactory(REFCLSID classId, winapi_host::ClassFactory factory) {
  ClassEntry* entry = FindClass(classId);
  if (entry == nullptr) {
    ClassTable().push_back({classId, std::move(factory)});
    return {};
  }
  return std::exchange(entry->factory, std::move(factory));
}

}  // namespace

HRESULT WINAPI CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                                REFIID interfaceId, LPVOID* object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (winapi_host::ApartmentDepth() == 0) {
    return CO_E_NOTINITIALIZED;
  }
  if (outer != nullptr) {
    return CLASS_E_NOAGGREGATION;
  }
  // Every class here is an in-process server; a context without it finds none.
  const ClassEntry* entry = FindClass(classId);
  if ((classContext & CLSCTX_INPROC_SERVER) == 0 || entry == nullptr || !entry->factory) {
    return REGDB_E_CLASSNOTREG;
  }
  return entry->factory(interfaceId, object);
}

winapi_host::ScopedClassOverride::ScopedClassOverride(REFCLSID classId, ClassFactory factory)
    : classId_(classId), previous_(ExchangeFactory(classId, std::move(factory))) {}

winapi_host::ScopedClassOverride::~ScopedClassOverride() {
  ExchangeFactory(classId_, std::move(previous_));
}
