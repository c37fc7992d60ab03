// IUnknown: reference counting and interface discovery for every COM object.
#pragma once

#include "winapi_host/guid.h"

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  // Objects are destroyed by their last Release, never through an interface pointer.
  ~IUnknown() = default;
};

extern const IID IID_IUnknown;
