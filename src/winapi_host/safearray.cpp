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

SAFEARRAY* CreateVector(ULONG elementSize, LONG lowerBound, ULONG elements) {
  auto* array = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
  if (array == nullptr) {
    return nullptr;
  }
  const std::size_t bytes = std::size_t{elements} * elementSize;
  array->pvData = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (array->pvData == nullptr) {
    std::free(array);
    return nullptr;
  }
  array->cDims = 1;
  array->cbElements = elementSize;
  array->rgsabound[0] = {elements, lowerBound};
  ++liveArrays;
  return array;
}

}  // namespace

SAFEARRAY* WINAPI SafeArrayCreateVector(VARTYPE elementType, LONG lowerBound, ULONG elements) {
  const ULONG elementSize = ElementSize(elementType);
  return elementSize == 0 ? nullptr : CreateVector(elementSize, lowerBound, elements);
}

HRESULT WINAPI SafeArrayDestroy(SAFEARRAY* array) {
  if (array == nullptr) {
    return S_OK;
  }
  std::free(array->pvData);
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
