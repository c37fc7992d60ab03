// The snapshot of the SMBIOS table through WMI, and its release.
#include <cstdlib>
#include <cstring>

#include <windows.h>
#include <wbemidl.h>

#include "com_guards.h"
#include "smbios_table.h"

namespace {

constexpr VARTYPE kByteArray = VT_ARRAY | VT_UI1;

// The version properties are read for their low byte whatever integer type carries
// them; the value's storage begins with that byte on the little-endian targets we build.
uint8_t LowByteOf(const VARIANT& value) {
  uint8_t low = 0;
  std::memcpy(&low, &V_UI1(&value), sizeof low);
  return low;
}

// Copies the whole first dimension of a byte array into the record.
bool CopyByteArray(const SAFEARRAY* array, SmbiosTable& table) {
  if (array == nullptr) {
    return false;
  }
  const uint32_t count = array->rgsabound[0].cElements;
  if (count > 0 && array->pvData == nullptr) {
    return false;
  }
  // An empty table still gets a block of its own: `data` is null only when no copy was made.
  auto* copy = static_cast<uint8_t*>(std::malloc(count > 0 ? count : 1));
  if (copy == nullptr) {
    return false;
  }
  if (count > 0) {
    std::memcpy(copy, array->pvData, count);
  }
  table.data = copy;
  table.size = count;
  return true;
}

}  // namespace

bool ReadRawSmbiosTable(SmbiosTable& table) {
  const com::Apartment apartment(COINIT_MULTITHREADED);
  if (!apartment.Joined()) {
    return false;
  }

  com::Ref<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              locator.OutVoid()))) {
    return false;
  }

  com::Ref<IWbemServices> services;
  if (FAILED(locator->ConnectServer(com::Bstr(L"ROOT\\WMI"), nullptr, nullptr, nullptr, 0, nullptr,
                                    nullptr, services.Out()))) {
    return false;
  }
  if (FAILED(CoSetProxyBlanket(services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                               EOAC_NONE))) {
    return false;
  }

  com::Ref<IEnumWbemClassObject> instances;
  if (FAILED(services->CreateInstanceEnum(com::Bstr(L"MSSMBios_RawSMBiosTables"), 0, nullptr,
                                          instances.Out()))) {
    return false;
  }

  // Only the first instance is read; a count of one with no object is no instance.
  com::Ref<IWbemClassObject> instance;
  ULONG returned = 0;
  if (FAILED(instances->Next(static_cast<LONG>(WBEM_INFINITE), 1, instance.Out(), &returned)) ||
      returned == 0 || instance.Get() == nullptr) {
    return false;
  }

  com::Variant value;
  CIMTYPE type = 0;
  if (FAILED(instance->Get(L"SmbiosMajorVersion", 0, value.Reset(), &type, nullptr))) {
    return false;
  }
  table.majorVersion = LowByteOf(value.Get());
  if (FAILED(instance->Get(L"SmbiosMinorVersion", 0, value.Reset(), &type, nullptr))) {
    return false;
  }
  table.minorVersion = LowByteOf(value.Get());
  if (FAILED(instance->Get(L"SMBiosData", 0, value.Reset(), &type, nullptr)) ||
      V_VT(&value.Get()) != kByteArray) {
    return false;
  }
  return CopyByteArray(V_ARRAY(&value.Get()), table);
}

void ReleaseSmbiosTable(SmbiosTable& table) { std::free(table.data); }
