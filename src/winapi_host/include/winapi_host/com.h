// The COM library: apartments, activation of in-process classes, proxy security.
#pragma once

#include "winapi_host/unknown.h"

enum COINIT : DWORD {
  COINIT_MULTITHREADED = 0x0,
  COINIT_APARTMENTTHREADED = 0x2,
};

enum CLSCTX : DWORD {
  CLSCTX_INPROC_SERVER = 0x1,
};

// Proxy blanket values (authentication service, authorisation, levels, capabilities).
constexpr DWORD RPC_C_AUTHN_WINNT = 10;
constexpr DWORD RPC_C_AUTHZ_NONE = 0;
constexpr DWORD RPC_C_AUTHN_LEVEL_CALL = 3;
constexpr DWORD RPC_C_IMP_LEVEL_IMPERSONATE = 3;
constexpr DWORD EOAC_NONE = 0;

using RPC_AUTH_IDENTITY_HANDLE = void*;

// The interface through which CoSetProxyBlanket reaches a proxy.
struct IClientSecurity : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown* proxy, DWORD authenticationService,
                                               DWORD authorisationService,
                                               OLECHAR* serverPrincipalName,
                                               DWORD authenticationLevel, DWORD impersonationLevel,
                                               RPC_AUTH_IDENTITY_HANDLE authenticationInfo,
                                               DWORD capabilities) = 0;

 protected:
  ~IClientSecurity() = default;
};

extern const IID IID_IClientSecurity;

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD concurrencyModel);
void WINAPI CoUninitialize();
HRESULT WINAPI CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD classContext,
                                REFIID interfaceId, LPVOID* object);
HRESULT WINAPI CoSetProxyBlanket(IUnknown* proxy, DWORD authenticationService,
                                 DWORD authorisationService, OLECHAR* serverPrincipalName,
                                 DWORD authenticationLevel, DWORD impersonationLevel,
                                 RPC_AUTH_IDENTITY_HANDLE authenticationInfo, DWORD capabilities);
