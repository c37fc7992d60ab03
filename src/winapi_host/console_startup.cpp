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
    std::size_t count = 0;
    while (strings != nullptr && strings[count] != nullptr) {
      ++count;
    }
    storage_.reserve(count);
    pointers_.reserve(count + 1);
    for (std::size_t i = 0; i < count; ++i) {
      storage_.push_back(winapi_host::WidenUtf8(strings[i]));
      pointers_.push_back(storage_.back().data());
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
