// Host build: the WMI client interfaces that smbios-probe calls, with the Windows SDK's names.
#pragma once

#include <windows.h>

using CIMTYPE = LONG;

enum CIMTYPE_ENUMERATION : LONG {
  CIM_SINT32 = 3,
  CIM_STRING = 8,
  CIM_BOOLEAN = 11,
  CIM_UINT8 = 17,
  CIM_UINT32 = 19,
  CIM_FLAG_ARRAY = 0x2000,
};

enum WBEM_TIMEOUT_TYPE : std::uint32_t {
  WBEM_INFINITE = 0xFFFFFFFF,
};

constexpr HRESULT WBEM_S_NO_ERROR = 0;
constexpr HRESULT WBEM_S_FALSE = 1;
constexpr HRESULT WBEM_E_FAILED = MakeHresult(0x80041001u);
constexpr HRESULT WBEM_E_NOT_FOUND = MakeHresult(0x80041002u);
constexpr HRESULT WBEM_E_ACCESS_DENIED = MakeHresult(0x80041003u);
constexpr HRESULT WBEM_E_INVALID_PARAMETER = MakeHresult(0x80041008u);
constexpr HRESULT WBEM_E_INVALID_NAMESPACE = MakeHresult(0x8004100Eu);
constexpr HRESULT WBEM_E_INVALID_CLASS = MakeHresult(0x80041010u);

// Call context; the probe never passes one.
struct IWbemContext;

struct IWbemClassObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                                        LONG* flavor) = 0;

 protected:
  ~IWbemClassObject() = default;
};

struct IEnumWbemClassObject : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                                         ULONG* returned) = 0;

 protected:
  ~IEnumWbemClassObject() = default;
};

struct IWbemServices : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR className, LONG flags,
                                                       IWbemContext* context,
                                                       IEnumWbemClassObject** instances) = 0;

 protected:
  ~IWbemServices() = default;
};

struct IWbemLocator : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR networkResource, const BSTR user,
                                                  const BSTR password, const BSTR locale,
                                                  LONG securityFlags, const BSTR authority,
                                                  IWbemContext* context,
                                                  IWbemServices** services) = 0;

 protected:
  ~IWbemLocator() = default;
};

extern const CLSID CLSID_WbemLocator;
extern const IID IID_IWbemLocator;
extern const IID IID_IWbemServices;
extern const IID IID_IEnumWbemClassObject;
extern const IID IID_IWbemClassObject;
