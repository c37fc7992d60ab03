// The console start-up: hands the program's wide entry point its arguments and
// environment as wide strings, and returns its status as the process exit code.
#include <string>
#include <vector>

#include "utf8.h"

extern "C" int wmain(int argc, wchar_t* argv[], wchar_t* envp[]);

namespace {

// Wide copies of a C string vector, and a null-terminated vector pointing at them.
class WideVector {
 public:
  explicit WideVector(char** strings) {
    for (char** string = strings; string != nullptr && *string != nullptr; ++string) {
      storage_.push_back(winapi_host::WidenUtf8(*string));
    }
    for (std::wstring& string : storage_) {
      pointers_.push_back(string.data());
    }
    pointers_.push_back(nullptr);
  }

  int Count() const { return static_cast<int>(storage_.size()); }
  wchar_t** Get() { return pointers_.data(); }

 private:
  std::vector<std::wstring> storage_;
  std::vector<wchar_t*> pointers_;
};

}  // namespace

int main(int, char* argv[], char* envp[]) {
  WideVector arguments(argv);
  WideVector environment(envp);
  return wmain(arguments.Count(), arguments.Get(), environment.Get());
}
