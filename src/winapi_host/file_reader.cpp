#include "file_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

std::optional<std::string> winapi_host::ReadWholeFile(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return std::nullopt;
  }
  std::string contents;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(file, buffer, sizeof buffer);
    if (got > 0) {
      contents.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      close(file);
      return got == 0 ? std::optional<std::string>(std::move(contents)) : std::nullopt;
    }
  }
}
