// The WMI client objects over an in-memory repository: locator -> services ->
// instance enumerator -> class objects.
#include <initializer_list>
#include <string_view>
#include <utility>

#include "../com_object.h"
#include "winapi_host/diagnostics.h"
#include "winapi_host/wmi_repository.h"

namespace winapi_host {
namespace {

wchar_t FoldAsciiCase(wchar_t character) {
  return character >= L'A' && character <= L'Z' ? character - L'A' + L'a' : character;
}

// WMI compares namespace, class and property names without regard to case; the names
// here are all ASCII.
bool SameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
      return false;
    }
  }
  return true;
}

std::string Narrow(std::wstring_view text) {
  std::string narrow;
  for (const wchar_t character : text) {
    narrow += character >= 0x20 && character < 0x7F ? static_cast<char>(character) : '?';
  }
  return narrow;
}

// How a string argument arrived: null, a real BSTR, or a plain string passed as one.
std::string DescribeString(const OLECHAR* text, bool expectBstr) {
  if (text == nullptr) {
    return "null";
  }
  std::string described = expectBstr && IsLiveBstr(text) ? "BSTR \"" : "\"";
  described += Narrow(text);
  described += '"';
  return described;
}

std::string DescribePointer(const void* pointer, const char* name) {
  return pointer == nullptr ? "null" : name;
}

// "method(first, second, ...)"
std::string CallText(const char* method, std::initializer_list<std::string> arguments) {
  std::string text = method;
  text += '(';
  for (const std::string& argument : arguments) {
    if (text.back() != '(') {
      text += ", ";
    }
    text += argument;
  }
  text += ')';
  return text;
}

// Reports calls to the observer, if there is one.
class CallReporter {
 public:
  explicit CallReporter(std::shared_ptr<WmiCallObserver> observer)
      : observer_(std::move(observer)) {}

  // `describe` gives the call as text; it is only asked when someone observes.
  template <typename Describe>
  HRESULT Report(WmiMethod method, const wchar_t* subject, const Describe& describe) const {
    return observer_ ? observer_->OnCall({method, subject == nullptr ? L"" : subject, describe()})
                     : S_OK;
  }

  void ReportRelease(const char* interfaceName) const {
    Report(WmiMethod::Release, nullptr, [&] { return CallText("Release", {interfaceName}); });
  }

 private:
  std::shared_ptr<WmiCallObserver> observer_;
};

class WbemClassObject final : public ComObject<WbemClassObject, IWbemClassObject> {
 public:
  WbemClassObject(std::shared_ptr<const WmiInstance> instance, CallReporter reporter)
      : instance_(std::move(instance)), reporter_(std::move(reporter)) {}
  ~WbemClassObject() { reporter_.ReportRelease("IWbemClassObject"); }

  void* FindInterface(REFIID iid) {
    return iid == IID_IUnknown || iid == IID_IWbemClassObject ? static_cast<IWbemClassObject*>(this)
                                                              : nullptr;
  }

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type,
                                LONG* flavor) override {
    const HRESULT observed = reporter_.Report(WmiMethod::Get, name, [&] {
      return CallText("Get", {DescribeString(name, false), std::to_string(flags),
                              DescribePointer(value, "value"), DescribePointer(type, "type"),
                              DescribePointer(flavor, "flavor")});
    });
    if (FAILED(observed)) {
      return observed;
    }
    if (name == nullptr) {
      return WBEM_E_INVALID_PARAMETER;
    }
    for (const WmiProperty& property : *instance_) {
      if (SameName(property.name, name)) {
        return Answer(property, value, type, flavor);
      }
    }
    return WBEM_E_NOT_FOUND;
  }

 private:
  static HRESULT Answer(const WmiProperty& property, VARIANT* value, CIMTYPE* type, LONG* flavor) {
    if (value != nullptr) {
      // Get overwrites the caller's VARIANT without clearing it, as WMI documents.
      VariantInit(value);
      const HRESULT copied = VariantCopy(value, &property.value.Get());
      if (FAILED(copied)) {
        return copied;
      }
    }
    if (type != nullptr) {
      *type = property.type;
    }
    if (flavor != nullptr) {
      *flavor = 0;
    }
    return WBEM_S_NO_ERROR;
  }

  std::shared_ptr<const WmiInstance> instance_;
  CallReporter reporter_;
};

class WbemEnumerator final : public ComObject<WbemEnumerator, IEnumWbemClassObject> {
 public:
  WbemEnumerator(std::shared_ptr<const WmiRepository> repository, const WmiClass& wmiClass,
                 CallReporter reporter)
      : repository_(std::move(repository)), class_(wmiClass), reporter_(std::move(reporter)) {}
  ~WbemEnumerator() { reporter_.ReportRelease("IEnumWbemClassObject"); }

  void* FindInterface(REFIID iid) {
    return iid == IID_IUnknown || iid == IID_IEnumWbemClassObject
               ? static_cast<IEnumWbemClassObject*>(this)
               : nullptr;
  }

  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects,
                                 ULONG* returned) override {
    const HRESULT observed = reporter_.Report(WmiMethod::Next, nullptr, [&] {
      return CallText("Next",
                      {std::to_string(timeout), std::to_string(count),
                       DescribePointer(objects, "objects"), DescribePointer(returned, "returned")});
    });
    if (FAILED(observed)) {
      return observed;
    }
    if (returned == nullptr || (count > 0 && objects == nullptr)) {
      return WBEM_E_INVALID_PARAMETER;
    }
    ULONG handed = 0;
    while (handed < count && next_ < class_.instances.size()) {
      const std::shared_ptr<const WmiInstance>& instance = class_.instances[next_++];
      objects[handed++] = instance ? new WbemClassObject(instance, reporter_) : nullptr;
    }
    *returned = handed;
    return handed == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
  }

 private:
  std::shared_ptr<const WmiRepository> repository_;  // keeps `class_` alive
  const WmiClass& class_;
  std::size_t next_ = 0;
  CallReporter reporter_;
};

class WbemServices final : public ComObject<WbemServices, IWbemServices, IClientSecurity> {
 public:
  WbemServices(std::shared_ptr<const WmiRepository> repository, const WmiNamespace& wmiNamespace,
               CallReporter reporter)
      : repository_(std::move(repository)),
        namespace_(wmiNamespace),
        reporter_(std::move(reporter)) {}
  ~WbemServices() { reporter_.ReportRelease("IWbemServices"); }

  void* FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IWbemServices) {
      return static_cast<IWbemServices*>(this);
    }
    return iid == IID_IClientSecurity ? static_cast<IClientSecurity*>(this) : nullptr;
  }

  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR className, LONG flags,
                                               IWbemContext* context,
                                               IEnumWbemClassObject** instances) override {
    const HRESULT observed = reporter_.Report(WmiMethod::CreateInstanceEnum, className, [&] {
      return CallText("CreateInstanceEnum", {DescribeString(className, true), std::to_string(flags),
                                             DescribePointer(context, "context")});
    });
    if (FAILED(observed)) {
      return observed;
    }
    if (instances == nullptr || className == nullptr) {
      return WBEM_E_INVALID_PARAMETER;
    }
    *instances = nullptr;
    for (const WmiClass& wmiClass : namespace_.classes) {
      if (SameName(wmiClass.name, className)) {
        *instances = new WbemEnumerator(repository_, wmiClass, reporter_);
        return WBEM_S_NO_ERROR;
      }
    }
    return WBEM_E_INVALID_CLASS;
  }

  HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD authenticationService,
                                       DWORD authorisationService, OLECHAR* serverPrincipalName,
                                       DWORD authenticationLevel, DWORD impersonationLevel,
                                       RPC_AUTH_IDENTITY_HANDLE authenticationInfo,
                                       DWORD capabilities) override {
    return reporter_.Report(WmiMethod::SetBlanket, nullptr, [&] {
      return CallText(
          "SetBlanket",
          {std::to_string(authenticationService), std::to_string(authorisationService),
           DescribeString(serverPrincipalName, false), std::to_string(authenticationLevel),
           std::to_string(impersonationLevel), DescribePointer(authenticationInfo, "identity"),
           std::to_string(capabilities)});
    });
  }

 private:
  std::shared_ptr<const WmiRepository> repository_;  // keeps `namespace_` alive
  const WmiNamespace& namespace_;
  CallReporter reporter_;
};

class WbemLocator final : public ComObject<WbemLocator, IWbemLocator> {
 public:
  WbemLocator(std::shared_ptr<const WmiRepository> repository, CallReporter reporter)
      : repository_(std::move(repository)), reporter_(std::move(reporter)) {}
  ~WbemLocator() { reporter_.ReportRelease("IWbemLocator"); }

  void* FindInterface(REFIID iid) {
    return iid == IID_IUnknown || iid == IID_IWbemLocator ? static_cast<IWbemLocator*>(this)
                                                          : nullptr;
  }

  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR networkResource, const BSTR user,
                                          const BSTR password, const BSTR locale,
                                          LONG securityFlags, const BSTR authority,
                                          IWbemContext* context,
                                          IWbemServices** services) override {
    const HRESULT observed = reporter_.Report(WmiMethod::ConnectServer, networkResource, [&] {
      return CallText("ConnectServer",
                      {DescribeString(networkResource, true), DescribeString(user, true),
                       DescribeString(password, true), DescribeString(locale, true),
                       std::to_string(securityFlags), DescribeString(authority, true),
                       DescribePointer(context, "context")});
    });
    if (FAILED(observed)) {
      return observed;
    }
    if (services == nullptr || networkResource == nullptr) {
      return WBEM_E_INVALID_PARAMETER;
    }
    *services = nullptr;
    for (const WmiNamespace& wmiNamespace : *repository_) {
      if (SameName(wmiNamespace.name, networkResource)) {
        *services = new WbemServices(repository_, wmiNamespace, reporter_);
        return WBEM_S_NO_ERROR;
      }
    }
    return WBEM_E_INVALID_NAMESPACE;
  }

 private:
  std::shared_ptr<const WmiRepository> repository_;
  CallReporter reporter_;
};

}  // namespace

HRESULT CreateWbemLocator(std::shared_ptr<const WmiRepository> repository,
                          std::shared_ptr<WmiCallObserver> observer, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  const CallReporter reporter(std::move(observer));
  const HRESULT observed = reporter.Report(WmiMethod::CreateLocator, nullptr, [&] {
    return iid == IID_IWbemLocator ? "CoCreateInstance(IWbemLocator)"
                                   : "CoCreateInstance(another interface)";
  });
  if (FAILED(observed)) {
    return observed;
  }
  return HandOver(new WbemLocator(std::move(repository), reporter), iid, object);
}

}  // namespace winapi_host
