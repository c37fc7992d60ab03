// A WMI provider for running smbios-probe.exe under Wine: an in-process COM server that a
// test prefix registers for the WMI locator's class. ROOT\WMI holds one instance of
// MSSMBios_RawSMBiosTables whose SMBiosData is the file named by SMBIOS_PROBE_TEST_TABLE;
// with that variable unset there is no instance.
//   SMBIOS_PROBE_TEST_VERSION  "major.minor" (default 3.0)
//   SMBIOS_PROBE_TEST_MODE     "wrong-data-type": SMBiosData is a string;
//                              "no-version": the version properties are absent
#include <windows.h>
#include <wbemidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

long liveObjects = 0;

// WMI's status codes are an enumeration whose failures do not fit a signed HRESULT as written.
constexpr HRESULT Failure(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

// Reference counting for the objects below; each is created with one reference.
template <typename Interface>
class Object : public Interface {
 public:
  Object() { InterlockedIncrement(&liveObjects); }
  virtual ~Object() { InterlockedDecrement(&liveObjects); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = Find(iid);
    if (*out == nullptr) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete this;
    }
    return left;
  }

 protected:
  virtual void* Find(REFIID iid) {
    return iid == IID_IUnknown || iid == __uuidof(Interface) ? static_cast<Interface*>(this)
                                                             : nullptr;
  }

 private:
  LONG references_ = 1;
};

// What the instance holds, read from the environment when the class is enumerated.
struct TableSource {
  BYTE* bytes = nullptr;
  ULONG size = 0;
  BYTE major = 3;
  BYTE minor = 0;
  bool dataAsString = false;
  bool withVersion = true;

  ~TableSource() { std::free(bytes); }
};

bool ReadTable(const wchar_t* path, TableSource& source) {
  FILE* file = _wfopen(path, L"rb");
  if (file == nullptr) {
    return false;
  }
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  source.bytes = static_cast<BYTE*>(std::malloc(size > 0 ? size : 1));
  source.size = static_cast<ULONG>(size > 0 ? size : 0);
  const bool read =
      source.bytes != nullptr && std::fread(source.bytes, 1, source.size, file) == source.size;
  std::fclose(file);
  return read;
}

// A new source from the environment, or null when no instance is to be served.
TableSource* SourceFromEnvironment() {
  const wchar_t* table = _wgetenv(L"SMBIOS_PROBE_TEST_TABLE");
  if (table == nullptr) {
    return nullptr;
  }
  auto* source = new TableSource;
  if (!ReadTable(table, *source)) {
    delete source;
    return nullptr;
  }
  if (const wchar_t* version = _wgetenv(L"SMBIOS_PROBE_TEST_VERSION")) {
    unsigned major = 0;
    unsigned minor = 0;
    if (swscanf(version, L"%u.%u", &major, &minor) == 2) {
      source->major = static_cast<BYTE>(major);
      source->minor = static_cast<BYTE>(minor);
    }
  }
  if (const wchar_t* mode = _wgetenv(L"SMBIOS_PROBE_TEST_MODE")) {
    source->dataAsString = std::wcscmp(mode, L"wrong-data-type") == 0;
    source->withVersion = std::wcscmp(mode, L"no-version") != 0;
  }
  return source;
}

void SetByte(VARIANT* value, BYTE byte) {
  V_VT(value) = VT_UI1;
  V_UI1(value) = byte;
}

void SetBoolean(VARIANT* value, bool flag) {
  V_VT(value) = VT_BOOL;
  V_BOOL(value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

HRESULT SetBytes(VARIANT* value, const BYTE* bytes, ULONG size) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, size);
  if (array == nullptr) {
    return E_OUTOFMEMORY;
  }
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  if (size > 0) {
    std::memcpy(data, bytes, size);
  }
  SafeArrayUnaccessData(array);
  V_VT(value) = VT_ARRAY | VT_UI1;
  V_ARRAY(value) = array;
  return S_OK;
}

class RawTablesInstance final : public Object<IWbemClassObject> {
 public:
  explicit RawTablesInstance(TableSource* source) : source_(source) {}
  ~RawTablesInstance() override { delete source_; }

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type,
                                LONG* flavor) override {
    if (name == nullptr) {
      return Failure(WBEM_E_INVALID_PARAMETER);
    }
    VARIANT answer;
    VariantInit(&answer);
    CIMTYPE cimType = CIM_UINT8;
    if (_wcsicmp(name, L"SMBiosData") == 0) {
      if (source_->dataAsString) {
        V_VT(&answer) = VT_BSTR;
        V_BSTR(&answer) = SysAllocString(L"not a byte array");
        cimType = CIM_STRING;
      } else {
        const HRESULT made = SetBytes(&answer, source_->bytes, source_->size);
        if (FAILED(made)) {
          return made;
        }
        cimType = CIM_UINT8 | CIM_FLAG_ARRAY;
      }
    } else if (_wcsicmp(name, L"Size") == 0) {
      V_VT(&answer) = VT_I4;
      V_I4(&answer) = static_cast<LONG>(source_->size);
      cimType = CIM_UINT32;
    } else if (_wcsicmp(name, L"SmbiosMajorVersion") == 0 && source_->withVersion) {
      SetByte(&answer, source_->major);
    } else if (_wcsicmp(name, L"SmbiosMinorVersion") == 0 && source_->withVersion) {
      SetByte(&answer, source_->minor);
    } else if (_wcsicmp(name, L"DmiRevision") == 0 && source_->withVersion) {
      SetByte(&answer, 0);
    } else if (_wcsicmp(name, L"Used20CallingMethod") == 0) {
      SetBoolean(&answer, false);
      cimType = CIM_BOOLEAN;
    } else if (_wcsicmp(name, L"Active") == 0) {
      SetBoolean(&answer, true);
      cimType = CIM_BOOLEAN;
    } else if (_wcsicmp(name, L"InstanceName") == 0) {
      V_VT(&answer) = VT_BSTR;
      V_BSTR(&answer) = SysAllocString(L"SMBiosData");
      cimType = CIM_STRING;
    } else {
      return Failure(WBEM_E_NOT_FOUND);
    }
    if (value != nullptr) {
      *value = answer;
    } else {
      VariantClear(&answer);
    }
    if (type != nullptr) {
      *type = cimType;
    }
    if (flavor != nullptr) {
      *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
    }
    return WBEM_S_NO_ERROR;
  }

  // The rest of the interface is not offered.
  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**,
                                      IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*,
                                      IWbemClassObject*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**,
                                       IWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }

 private:
  TableSource* source_;
};

class InstanceEnumerator final : public Object<IEnumWbemClassObject> {
 public:
  explicit InstanceEnumerator(TableSource* source) : source_(source) {}
  ~InstanceEnumerator() override { delete source_; }

  HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects,
                                 ULONG* returned) override {
    if (returned == nullptr || (count > 0 && objects == nullptr)) {
      return Failure(WBEM_E_INVALID_PARAMETER);
    }
    *returned = 0;
    if (count > 0 && source_ != nullptr) {
      objects[0] = new RawTablesInstance(source_);
      source_ = nullptr;
      *returned = 1;
    }
    return *returned == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return E_NOTIMPL; }

 private:
  TableSource* source_;
};

class Services final : public Object<IWbemServices> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR className, LONG, IWbemContext*,
                                               IEnumWbemClassObject** instances) override {
    if (instances == nullptr || className == nullptr) {
      return Failure(WBEM_E_INVALID_PARAMETER);
    }
    if (_wcsicmp(className, L"MSSMBios_RawSMBiosTables") != 0) {
      return Failure(WBEM_E_INVALID_CLASS);
    }
    *instances = new InstanceEnumerator(SourceFromEnvironment());
    return WBEM_S_NO_ERROR;
  }

  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**,
                                          IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**,
                                      IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*,
                                           IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*,
                                     IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*,
                                          IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                            IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*,
                                                 IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                                        IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*,
                                           IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*,
                                                IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*,
                                                    IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                      IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                           IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                                  IEnumWbemClassObject**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                                       IWbemObjectSink*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*,
                                       IWbemClassObject*, IWbemClassObject**,
                                       IWbemCallResult**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                            IWbemClassObject*, IWbemObjectSink*) override {
    return E_NOTIMPL;
  }

 protected:
  // CoSetProxyBlanket reaches the services through IClientSecurity.
  void* Find(REFIID iid) override {
    return iid == IID_IClientSecurity ? static_cast<IClientSecurity*>(&security_)
                                      : Object<IWbemServices>::Find(iid);
  }

 private:
  // Accepts any blanket; lives inside the services and shares their reference count.
  class Security final : public IClientSecurity {
   public:
    explicit Security(Services& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      return owner_.QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*,
                                           void**, DWORD*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, void*,
                                         DWORD) override {
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

   private:
    Services& owner_;
  };

  Security security_{*this};
};

class Locator final : public Object<IWbemLocator> {
 public:
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR networkResource, const BSTR, const BSTR,
                                          const BSTR, LONG, const BSTR, IWbemContext*,
                                          IWbemServices** services) override {
    if (services == nullptr || networkResource == nullptr) {
      return Failure(WBEM_E_INVALID_PARAMETER);
    }
    if (_wcsicmp(networkResource, L"ROOT\\WMI") != 0) {
      return Failure(WBEM_E_INVALID_NAMESPACE);
    }
    *services = new Services;
    return WBEM_S_NO_ERROR;
  }
};

class LocatorFactory final : public Object<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    auto* locator = new Locator;
    const HRESULT result = locator->QueryInterface(iid, out);
    locator->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** out) {
  if (classId != CLSID_WbemLocator) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  auto* factory = new LocatorFactory;
  const HRESULT result = factory->QueryInterface(iid, out);
  factory->Release();
  return result;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return liveObjects == 0 ? S_OK : S_FALSE; }
