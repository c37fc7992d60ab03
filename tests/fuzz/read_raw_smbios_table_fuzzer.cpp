// The snapshot read against any answer of the WMI test double: the input decides which call
// fails and with which HRESULT, whether the thread is already in an apartment, and what the
// instances hold (missing properties, other VARIANT types, byte arrays of any length, null
// arrays). Invariants: false leaves no copy; true copies exactly the first instance's byte
// array, and happens exactly when nothing stood in the way; every object obtained is
// released and the apartment is balanced.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <wbemidl.h>

#include "smbios_table.h"
#include "winapi_host/diagnostics.h"
#include "wmi_double.h"

namespace {

using test_support::WmiDouble;
using test_support::WmiInstance;
using winapi_host::OwnedVariant;
using winapi_host::WmiMethod;

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

enum class Shape { Missing, Byte, Int32, Boolean, String, ByteArray, NullByteArray, WordArray };

struct Property {
  Shape shape;
  OwnedVariant value;
  std::string bytes;  // the bytes of a ByteArray
};

Property MakeProperty(FuzzedDataProvider& input) {
  const auto shape = static_cast<Shape>(input.ConsumeIntegralInRange<int>(0, 7));
  switch (shape) {
    case Shape::Byte:
      return {shape, OwnedVariant::Byte(input.ConsumeIntegral<uint8_t>()), ""};
    case Shape::Int32:
      return {shape, OwnedVariant::Int32(input.ConsumeIntegral<int32_t>()), ""};
    case Shape::Boolean:
      return {shape, OwnedVariant::Boolean(input.ConsumeBool()), ""};
    case Shape::String:
      return {shape, OwnedVariant::String(L"text"), ""};
    case Shape::ByteArray: {
      std::string bytes = input.ConsumeRandomLengthString(8192);
      const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
      return {shape, OwnedVariant::ByteArray(data, bytes.size()), bytes};
    }
    case Shape::NullByteArray: {
      VARIANT value;
      VariantInit(&value);
      V_VT(&value) = VT_ARRAY | VT_UI1;
      V_ARRAY(&value) = nullptr;
      return {shape, OwnedVariant::Adopt(value), ""};
    }
    case Shape::WordArray: {
      VARIANT value;
      VariantInit(&value);
      V_VT(&value) = VT_ARRAY | VT_I2;
      V_ARRAY(&value) = SafeArrayCreateVector(VT_I2, 0, input.ConsumeIntegralInRange<ULONG>(0, 64));
      return {shape, OwnedVariant::Adopt(value), ""};
    }
    case Shape::Missing:
      break;
  }
  return {Shape::Missing, OwnedVariant::Byte(0), ""};
}

struct Scenario {
  DWORD priorApartment = 0;  // 0: none; else 1 + the model the thread joined first
  std::optional<WmiMethod> failing;
  std::wstring failingProperty;
  HRESULT failure = S_OK;
  bool firstIsNull = true;
  std::vector<Property> first;  // major, minor, data of the first instance
};

const wchar_t* const kPropertyNames[] = {L"SmbiosMajorVersion", L"SmbiosMinorVersion",
                                         L"SMBiosData"};

WmiInstance InstanceOf(const std::vector<Property>& properties) {
  WmiInstance instance;
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (properties[i].shape != Shape::Missing) {
      instance.push_back({kPropertyNames[i], CIM_UINT8, properties[i].value});
    }
  }
  return instance;
}

bool WouldSucceed(const Scenario& s) {
  const bool failureInjected = s.failing && FAILED(s.failure);
  return s.priorApartment != 1 + COINIT_APARTMENTTHREADED && !failureInjected && !s.firstIsNull &&
         s.first[0].shape != Shape::Missing && s.first[1].shape != Shape::Missing &&
         s.first[2].shape == Shape::ByteArray;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  WmiDouble wmi;
  Scenario s;

  s.priorApartment =
      input.PickValueInArray<DWORD>({0, 1 + COINIT_MULTITHREADED, 1 + COINIT_APARTMENTTHREADED});
  const int failing = input.ConsumeIntegralInRange<int>(-1, 5);
  if (failing >= 0) {
    s.failing = static_cast<WmiMethod>(failing);
    s.failure = input.ConsumeIntegral<HRESULT>();
    if (*s.failing == WmiMethod::Get) {
      s.failingProperty = kPropertyNames[input.ConsumeIntegralInRange<int>(0, 2)];
    }
    wmi.Fail(*s.failing, s.failure, s.failingProperty);
  }
  std::vector<std::shared_ptr<const WmiInstance>> instances;
  const int count = input.ConsumeIntegralInRange<int>(0, 3);
  for (int i = 0; i < count; ++i) {
    const bool isNull = input.ConsumeBool();
    std::vector<Property> properties;
    for (int p = 0; p < 3; ++p) {
      properties.push_back(MakeProperty(input));
    }
    instances.push_back(isNull ? nullptr
                               : std::make_shared<const WmiInstance>(InstanceOf(properties)));
    if (i == 0) {
      s.firstIsNull = isNull;
      s.first = std::move(properties);
    }
  }
  wmi.Serve(std::move(instances));

  if (s.priorApartment != 0) {
    Check(CoInitializeEx(nullptr, s.priorApartment - 1) == S_OK);
  }
  const int depth = winapi_host::ApartmentDepth();
  const long strings = winapi_host::LiveBstrs();
  const long arrays = winapi_host::LiveSafeArrays();

  SmbiosTable table{};
  const bool result = ReadRawSmbiosTable(table);

  Check(winapi_host::LiveComObjects() == 0);
  Check(winapi_host::LiveBstrs() == strings);
  Check(winapi_host::LiveSafeArrays() == arrays);
  Check(winapi_host::ApartmentDepth() == depth);
  Check(result == WouldSucceed(s));
  if (result) {
    Check(table.data != nullptr);
    Check(std::string(table.data, table.data + table.size) == s.first[2].bytes);
  } else {
    Check(table.data == nullptr && table.size == 0);
  }
  ReleaseSmbiosTable(table);
  if (s.priorApartment != 0) {
    CoUninitialize();
  }
  return 0;
}
