// VARIANT lifetime: a cleared VARIANT owns nothing; one holding a BSTR or an array owns it.
#include <windows.h>

void WINAPI VariantInit(VARIANT* value) {
  V_VT(value) = VT_EMPTY;
  value->wReserved1 = 0;
  value->wReserved2 = 0;
  value->wReserved3 = 0;
  value->llVal = 0;
}

HRESULT WINAPI VariantClear(VARIANT* value) {
  if (value == nullptr) {
    return E_INVALIDARG;
  }
  if ((V_VT(value) & VT_ARRAY) != 0) {
    SafeArrayDestroy(V_ARRAY(value));
  } else if (V_VT(value) == VT_BSTR) {
    SysFreeString(V_BSTR(value));
  }
  VariantInit(value);
  return S_OK;
}

HRESULT WINAPI VariantCopy(VARIANT* destination, const VARIANT* source) {
  if (destination == nullptr || source == nullptr) {
    return E_INVALIDARG;
  }
  VariantClear(destination);
  VARIANT copy = *source;
  if ((V_VT(source) & VT_ARRAY) != 0) {
    const HRESULT copied = SafeArrayCopy(V_ARRAY(source), &V_ARRAY(&copy));
    if (FAILED(copied)) {
      return copied;
    }
  } else if (V_VT(source) == VT_BSTR && V_BSTR(source) != nullptr) {
    V_BSTR(&copy) = SysAllocStringLen(V_BSTR(source), SysStringLen(V_BSTR(source)));
    if (V_BSTR(&copy) == nullptr) {
      return E_OUTOFMEMORY;
    }
  }
  *destination = copy;
  return S_OK;
}
