#include "file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

std::optional<std::string> winapi_host::ReadWholeFile(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return std::nullopt;
  }
  // Read into a buffer sized by what the file says it holds (sysfs tables state their
  // size, /proc files none), grown when it holds more; left uninitialised until read.
  struct stat status {};
  std::size_t capacity = fstat(file, &status) == 0 && status.st_size > 0
                             ? static_cast<std::size_t>(status.st_size) + 1
                             : 4096;
  std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
      std::memcpy(larger.get(), buffer.get(), filled);
      buffer = std::move(larger);
      capacity *= 2;
    }
    const ssize_t got = read(file, buffer.get() + filled, capacity - filled);
    if (got > 0) {
      filled += static_cast<std::size_t>(got);
    } else if (got == 0 || errno != EINTR) {
      close(file);
      return got == 0 ? std::optional<std::string>(std::in_place, buffer.get(), filled)
                      : std::nullopt;
    }
  }
}
