// CoSetProxyBlanket: reaches the proxy's IClientSecurity and sets the blanket there.
#include <windows.h>

HRESULT WINAPI CoSetProxyBlanket(IUnknown* proxy, DWORD authenticationService,
                                 DWORD authorisationService, OLECHAR* serverPrincipalName,
                                 DWORD authenticationLevel, DWORD impersonationLevel,
                                 RPC_AUTH_IDENTITY_HANDLE authenticationInfo, DWORD capabilities) {
  if (proxy == nullptr) {
    return E_INVALIDARG;
  }
  IClientSecurity* security = nullptr;
  const HRESULT found =
      proxy->QueryInterface(IID_IClientSecurity, reinterpret_cast<void**>(&security));
  if (FAILED(found)) {
    return found;
  }
  const HRESULT result = security->SetBlanket(proxy, authenticationService, authorisationService,
                                              serverPrincipalName, authenticationLevel,
                                              impersonationLevel, authenticationInfo, capabilities);
  security->Release();
  return result;
}
