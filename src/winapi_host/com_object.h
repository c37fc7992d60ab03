// Reference counting and interface lookup shared by the host's COM objects.
#pragma once

#include <atomic>

#include <windows.h>

namespace winapi_host {

// Counts the COM objects alive in the process, for leak checks.
class LiveComObjectCount {
 protected:
  LiveComObjectCount();
  ~LiveComObjectCount();

 public:
  LiveComObjectCount(const LiveComObjectCount&) = delete;
  LiveComObjectCount& operator=(const LiveComObjectCount&) = delete;
};

// `Self` implements the `Interfaces` and a `void* FindInterface(REFIID)` that returns the
// matching interface pointer or null; it is created with one reference and deleted by
// its last Release.
template <typename Self, typename... Interfaces>
class ComObject : public Interfaces..., private LiveComObjectCount {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) final {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = static_cast<Self*>(this)->FindInterface(iid);
    if (*object == nullptr) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() final { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() final {
    const ULONG left = --references_;
    if (left == 0) {
      delete static_cast<Self*>(this);
    }
    return left;
  }

 protected:
  ComObject() = default;
  ~ComObject() = default;

 private:
  std::atomic<ULONG> references_{1};
};

// Hands `object`'s interface `iid` to the caller and drops the creator's reference.
template <typename Object>
HRESULT HandOver(Object* object, REFIID iid, void** out) {
  const HRESULT result = object->QueryInterface(iid, out);
  object->Release();
  return result;
}

}  // namespace winapi_host
