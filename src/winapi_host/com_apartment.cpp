// Per-thread apartment membership: the first CoInitializeEx joins, later ones in the
// same model only count, and each successful one is balanced by a CoUninitialize.
#include <windows.h>

#include "winapi_host/diagnostics.h"

namespace {

struct Apartment {
  int depth = 0;
  DWORD model = COINIT_MULTITHREADED;
};

thread_local Apartment currentApartment;

constexpr DWORD kModelMask = COINIT_APARTMENTTHREADED;

}  // namespace

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD concurrencyModel) {
  if (reserved != nullptr) {
    return E_INVALIDARG;
  }
  const DWORD model = concurrencyModel & kModelMask;
  Apartment& apartment = currentApartment;
  if (apartment.depth == 0) {
    apartment.model = model;
    apartment.depth = 1;
    return S_OK;
  }
  if (apartment.model != model) {
    return RPC_E_CHANGED_MODE;
  }
  ++apartment.depth;
  return S_FALSE;
}

void WINAPI CoUninitialize() {
  if (currentApartment.depth > 0) {
    --currentApartment.depth;
  }
}

int winapi_host::ApartmentDepth() { return currentApartment.depth; }
