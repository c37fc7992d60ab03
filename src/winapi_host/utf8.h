// Linux hands programs bytes; the Windows API speaks wide characters.
#pragma once

#include <string>
#include <string_view>

namespace winapi_host {

// Decodes UTF-8; each byte that does not begin a valid sequence becomes U+FFFD.
std::wstring WidenUtf8(std::string_view bytes);

// The same into `out`, which has room for bytes.size() characters (a character never
// takes less than a byte); returns how many it wrote.
std::size_t WidenUtf8Into(std::string_view bytes, wchar_t* out);

}  // namespace winapi_host
