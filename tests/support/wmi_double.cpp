#include "wmi_double.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace test_support {

struct WmiDouble::State final : winapi_host::WmiCallObserver {
  struct Failure {
    WmiMethod method;
    HRESULT result;
    std::wstring subject;
  };

  HRESULT OnCall(const winapi_host::WmiCall& call) override {
    calls.push_back(call.text);
    const auto failure = std::find_if(failures.begin(), failures.end(), [&](const Failure& f) {
      return f.method == call.method && (f.subject.empty() || f.subject == call.subject);
    });
    if (failure == failures.end()) {
      return S_OK;
    }
    const HRESULT result = failure->result;
    failures.erase(failure);
    return result;
  }

  std::shared_ptr<const winapi_host::WmiRepository> repository;
  std::vector<Failure> failures;
  std::vector<std::string> calls;
};

WmiDouble::WmiDouble()
    : state_(std::make_shared<State>()),
      locatorClass_(CLSID_WbemLocator, [state = state_](REFIID iid, void** object) {
        return winapi_host::CreateWbemLocator(state->repository, state, iid, object);
      }) {
  Serve(RawTablesInstance(""));
}

void WmiDouble::Serve(std::vector<std::shared_ptr<const WmiInstance>> instances) {
  state_->repository = std::make_shared<const winapi_host::WmiRepository>(
      winapi_host::MakeRawSmbiosTablesRepository(std::move(instances)));
}

void WmiDouble::Serve(const WmiInstance& instance) {
  Serve({std::make_shared<const WmiInstance>(instance)});
}

void WmiDouble::ServeNothing() { Serve(std::vector<std::shared_ptr<const WmiInstance>>{}); }

void WmiDouble::Fail(WmiMethod method, HRESULT result, std::wstring subject) {
  state_->failures.push_back({method, result, std::move(subject)});
}

std::vector<std::string> WmiDouble::Calls() const { return state_->calls; }

WmiInstance RawTablesInstance(const std::string& table, std::uint8_t major, std::uint8_t minor) {
  return winapi_host::MakeRawSmbiosTablesInstance(table,
                                                  winapi_host::SmbiosVersion{major, minor, 0});
}

WmiInstance Without(WmiInstance instance, const wchar_t* name) {
  instance.erase(std::remove_if(instance.begin(), instance.end(),
                                [&](const winapi_host::WmiProperty& p) {
                                  return std::wstring_view(p.name) == name;
                                }),
                 instance.end());
  return instance;
}

WmiInstance With(WmiInstance instance, const wchar_t* name, CIMTYPE type,
                 const winapi_host::OwnedVariant& value) {
  instance = Without(std::move(instance), name);
  instance.push_back({name, type, value});
  return instance;
}

}  // namespace test_support
