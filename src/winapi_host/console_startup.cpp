// The console start-up: hands the program's wide entry point its arguments and
// environment as wide strings, and returns its status as the process exit code.
#include <cstring>
#include <memory>

#include "utf8.h"

extern "C" int wmain(int argc, wchar_t* argv[], wchar_t* envp[]);

namespace {

// Wide copies of a C string vector, all in one block, and a null-terminated vector
// pointing at them.
class WideVector {
 public:
  explicit WideVector(char** strings) {
    std::size_t characters = 0;
    while (strings != nullptr && strings[count_] != nullptr) {
      characters += std::strlen(strings[count_++]) + 1;
    }
    text_ = std::make_unique_for_overwrite<wchar_t[]>(characters);
    pointers_ = std::make_unique_for_overwrite<wchar_t*[]>(count_ + 1);
    wchar_t* next = text_.get();
    for (std::size_t i = 0; i < count_; ++i) {
      pointers_[i] = next;
      next += winapi_host::WidenUtf8Into(strings[i], next);
      *next++ = L'\0';
    }
    pointers_[count_] = nullptr;
  }

  int Count() const { return static_cast<int>(count_); }
  wchar_t** Get() { return pointers_.get(); }

 private:
  std::size_t count_ = 0;
  std::unique_ptr<wchar_t[]> text_;
  std::unique_ptr<wchar_t*[]> pointers_;
};

}  // namespace

int main(int, char* argv[], char* envp[]) {
  WideVector arguments(argv);
  WideVector environment(envp);
  return wmain(arguments.Count(), arguments.Get(), environment.Get());
}
