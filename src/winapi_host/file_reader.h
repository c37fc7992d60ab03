// Whole-file reads for the host layer's view of /proc and /sys.
#pragma once

#include <optional>
#include <string>

namespace winapi_host {

// The file's bytes, or nothing when it cannot be opened or read to its end.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace winapi_host
