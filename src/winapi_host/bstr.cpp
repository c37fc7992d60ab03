// BSTR: a length-prefixed, zero-terminated wide string, as OLE Automation lays it out.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <set>

#include <windows.h>

#include "winapi_host/diagnostics.h"

namespace {

using LengthPrefix = std::uint32_t;

// Every BSTR handed out and not yet freed, so the layer can tell a BSTR from a plain string.
struct LiveBstrs {
  std::mutex mutex;
  std::set<const OLECHAR*> strings;
};

LiveBstrs& Live() {
  static LiveBstrs live;
  return live;
}

LengthPrefix* PrefixOf(BSTR text) {
  return reinterpret_cast<LengthPrefix*>(reinterpret_cast<char*>(text) - sizeof(LengthPrefix));
}

}  // namespace

BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  if (bytes > UINT32_MAX - sizeof(OLECHAR)) {
    return nullptr;
  }
  void* block = std::malloc(sizeof(LengthPrefix) + bytes + sizeof(OLECHAR));
  if (block == nullptr) {
    return nullptr;
  }
  *static_cast<LengthPrefix*>(block) = static_cast<LengthPrefix>(bytes);
  BSTR string = reinterpret_cast<BSTR>(static_cast<char*>(block) + sizeof(LengthPrefix));
  if (text != nullptr && length > 0) {
    std::memcpy(string, text, bytes);
  }
  string[length] = L'\0';
  const std::lock_guard<std::mutex> lock(Live().mutex);
  Live().strings.insert(string);
  return string;
}

BSTR WINAPI SysAllocString(const OLECHAR* text) {
  if (text == nullptr) {
    return nullptr;
  }
  return SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

void WINAPI SysFreeString(BSTR text) {
  if (text == nullptr) {
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(Live().mutex);
    Live().strings.erase(text);
  }
  std::free(PrefixOf(text));
}

UINT WINAPI SysStringLen(BSTR text) {
  return text == nullptr ? 0 : *PrefixOf(text) / sizeof(OLECHAR);
}

long winapi_host::LiveBstrs() {
  const std::lock_guard<std::mutex> lock(Live().mutex);
  return static_cast<long>(Live().strings.size());
}

bool winapi_host::IsLiveBstr(const OLECHAR* text) {
  const std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().strings.count(text) != 0;
}
