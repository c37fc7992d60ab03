// One-dimensional SAFEARRAYs of fixed-size elements: all that WMI's byte arrays need.
#include <atomic>
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "winapi_host/diagnostics.h"

namespace {

std::atomic<long> liveArrays{0};

ULONG ElementSize(VARTYPE type) {
  switch (type) {
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_BOOL:
      return 2;
    case VT_I4:
      return 4;
    default:
      return 0;
  }
}

// A vector whose elements are left for the caller to fill, allocated with its descriptor in
// one block.
SAFEARRAY* CreateVector(ULONG elementSize, LONG lowerBound, ULONG elements) {
  const std::size_t bytes = std::size_t{elements} * elementSize;
  auto* array = static_cast<SAFEARRAY*>(std::malloc(sizeof(SAFEARRAY) + bytes));
  if (array == nullptr) {
    return nullptr;
  }
  *array = SAFEARRAY{};
  array->cDims = 1;
  array->cbElements = elementSize;
  array->pvData = array + 1;
  array->rgsabound[0] = {elements, lowerBound};
  ++liveArrays;
  return array;
}

}  // namespace

SAFEARRAY* WINAPI SafeArrayCreateVector(VARTYPE elementType, LONG lowerBound, ULONG elements) {
  const ULONG elementSize = ElementSize(elementType);
  SAFEARRAY* array = elementSize == 0 ? nullptr : CreateVector(elementSize, lowerBound, elements);
  if (array != nullptr) {
    std::memset(array->pvData, 0, std::size_t{elements} * elementSize);
  }
  return array;
}

HRESULT WINAPI SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) {
    return S_OK;
  }
  std::free(array);
  --liveArrays;
  return S_OK;
}

HRESULT WINAPI SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  if (copy == nullptr) {
    return E_INVALIDARG;
  }
  *copy = nullptr;
  if (source == nullptr) {
    return S_OK;
  }
  const SAFEARRAYBOUND bound = source->rgsabound[0];
  SAFEARRAY* duplicate = CreateVector(source->cbElements, bound.lLbound, bound.cElements);
  if (duplicate == nullptr) {
    return E_OUTOFMEMORY;
  }
  if (bound.cElements > 0 && source->pvData != nullptr) {
    std::memcpy(duplicate->pvData, source->pvData,
                std::size_t{bound.cElements} * source->cbElements);
  }
  *copy = duplicate;
  return S_OK;
}

long winapi_host::LiveSafeArrays() { return liveArrays; }
