// The module handle and command line of the running process, as Windows reports them.
#include <string>

#include <windows.h>

#include "file_reader.h"
#include "utf8.h"

// Placed by the linker at the start of the executable's image, as a Windows module
// handle is the address of the image.
extern "C" const char __ehdr_start;

namespace {

// Joins the arguments into one line, quoting those that need it the way the Windows
// start-up code splits them again.
std::wstring JoinArguments(const std::string& zeroSeparated) {
  std::wstring line;
  line.reserve(zeroSeparated.size() * 2);
  std::size_t start = 0;
  while (start < zeroSeparated.size()) {
    std::size_t end = zeroSeparated.find('\0', start);
    if (end == std::string::npos) {
      end = zeroSeparated.size();
    }
    const std::wstring argument =
        winapi_host::WidenUtf8(std::string_view(zeroSeparated).substr(start, end - start));
    if (!line.empty()) {
      line += L' ';
    }
    const bool quoted = argument.empty() || argument.find_first_of(L" \t\"") != std::wstring::npos;
    if (!quoted) {
      line += argument;
    } else {
      line += L'"';
      std::size_t backslashes = 0;
      for (const wchar_t character : argument) {
        if (character == L'\\') {
          ++backslashes;
          continue;
        }
        const std::size_t repeat = character == L'"' ? backslashes * 2 + 1 : backslashes;
        line.append(repeat, L'\\');
        backslashes = 0;
        line += character;
      }
      line.append(backslashes * 2, L'\\');
      line += L'"';
    }
    start = end + 1;
  }
  return line;
}

}  // namespace

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
  if (moduleName != nullptr) {
    return nullptr;  // only the executable itself is known here
  }
  return reinterpret_cast<HMODULE>(const_cast<char*>(&__ehdr_start));
}

LPWSTR WINAPI GetCommandLineW() {
  static std::wstring commandLine =
      JoinArguments(winapi_host::ReadWholeFile("/proc/self/cmdline").value_or(""));
  return commandLine.data();
}
