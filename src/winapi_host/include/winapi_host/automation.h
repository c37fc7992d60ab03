// OLE Automation values: BSTR strings, SAFEARRAY arrays and the VARIANT that carries either.
#pragma once

#include "winapi_host/base_types.h"

using BSTR = OLECHAR*;
using VARTYPE = unsigned short;
using VARIANT_BOOL = short;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_BOOL = 11,
  VT_UI1 = 17,
  VT_ARRAY = 0x2000,
};

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};

struct SAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  PVOID pvData;
  SAFEARRAYBOUND rgsabound[1];
};

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    SAFEARRAY* parray;
  };
};

#define V_VT(X) ((X)->vt)
#define V_UI1(X) ((X)->bVal)
#define V_I2(X) ((X)->iVal)
#define V_I4(X) ((X)->lVal)
#define V_BOOL(X) ((X)->boolVal)
#define V_BSTR(X) ((X)->bstrVal)
#define V_ARRAY(X) ((X)->parray)

BSTR WINAPI SysAllocString(const OLECHAR* text);
BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length);
void WINAPI SysFreeString(BSTR text);
UINT WINAPI SysStringLen(BSTR text);

SAFEARRAY* WINAPI SafeArrayCreateVector(VARTYPE elementType, LONG lowerBound, ULONG elements);
HRESULT WINAPI SafeArrayDestroy(SAFEARRAY* array);
HRESULT WINAPI SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy);

void WINAPI VariantInit(VARIANT* value);
HRESULT WINAPI VariantClear(VARIANT* value);
HRESULT WINAPI VariantCopy(VARIANT* destination, const VARIANT* source);
