// The host's WMI service: namespaces of classes with their instances held in memory,
// served through IWbemLocator, IWbemServices, IEnumWbemClassObject and IWbemClassObject.
// Not part of the Windows API: providers fill a repository, tests observe the calls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wbemidl.h>

#include "winapi_host/owned_variant.h"

namespace winapi_host {

// Names are string literals, as WMI's schema names are fixed.
struct WmiProperty {
  const wchar_t* name;
  CIMTYPE type;
  OwnedVariant value;
};

using WmiInstance = std::vector<WmiProperty>;

struct WmiClass {
  const wchar_t* name;
  // A null entry is an instance that the enumerator counts but hands back as a null pointer.
  std::vector<std::shared_ptr<const WmiInstance>> instances;
};

struct WmiNamespace {
  const wchar_t* name;
  std::vector<WmiClass> classes;
};

using WmiRepository = std::vector<WmiNamespace>;

enum class WmiMethod {
  CreateLocator,
  ConnectServer,
  SetBlanket,
  CreateInstanceEnum,
  Next,
  Get,
  Release
};

struct WmiCall {
  WmiMethod method;
  std::wstring subject;  // the namespace, class or property named, if any
  std::string text;      // the call with its arguments, e.g. Next(-1, 1, objects, returned)
};

// Sees each call made on the WMI objects before it runs; a failure it returns is the
// call's result. The final Release of each object is reported too, and cannot fail.
class WmiCallObserver {
 public:
  virtual HRESULT OnCall(const WmiCall& call) = 0;

 protected:
  ~WmiCallObserver() = default;
};

// A new locator over `repository`; `observer` may be null.
HRESULT CreateWbemLocator(std::shared_ptr<const WmiRepository> repository,
                          std::shared_ptr<WmiCallObserver> observer, REFIID iid, void** object);

}  // namespace winapi_host
