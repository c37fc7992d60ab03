// Linux hands programs bytes; the Windows API speaks wide characters.
#pragma once

#include <string>
#include <string_view>

namespace winapi_host {

// Decodes UTF-8; each byte that does not begin a valid sequence becomes U+FFFD.
std::wstring WidenUtf8(std::string_view bytes);

}  // namespace winapi_host
