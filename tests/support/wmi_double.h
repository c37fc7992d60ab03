// A scriptable WMI provider for tests, put in place of the host's WMI locator class for
// the double's lifetime. It serves ROOT\WMI with instances of MSSMBios_RawSMBiosTables,
// fails chosen calls with chosen results, and logs every call with its arguments.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "winapi_host/class_table.h"
#include "winapi_host/raw_smbios_tables.h"

namespace test_support {

using winapi_host::WmiInstance;
using winapi_host::WmiMethod;

class WmiDouble {
 public:
  // Serves one instance of an empty SMBIOS 3.0 table until told otherwise.
  WmiDouble();

  // Null entries are handed back by Next as null pointers, counted as returned.
  void Serve(std::vector<std::shared_ptr<const WmiInstance>> instances);
  void Serve(const WmiInstance& instance);
  void ServeNothing();

  // The first call of `method` (on `subject`, when one is given) fails with `result`.
  void Fail(WmiMethod method, HRESULT result, std::wstring subject = L"");

  // Every call made so far, in order, as text.
  std::vector<std::string> Calls() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
  winapi_host::ScopedClassOverride locatorClass_;
};

// An instance as the Windows provider publishes it, with this table and version.
WmiInstance RawTablesInstance(const std::string& table, std::uint8_t major = 3,
                              std::uint8_t minor = 0);

// `instance` without the property `name`, or with its value and CIM type replaced.
WmiInstance Without(WmiInstance instance, const wchar_t* name);
WmiInstance With(WmiInstance instance, const wchar_t* name, CIMTYPE type,
                 const winapi_host::OwnedVariant& value);

}  // namespace test_support
