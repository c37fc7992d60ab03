#include "firmware_namespace.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace test_support {
namespace {

constexpr char kFirmware[] = "/sys/firmware";
constexpr char kDmi[] = "/sys/firmware/dmi";
constexpr char kTables[] = "/sys/firmware/dmi/tables";

bool WriteFile(const std::string& path, const std::string& bytes) {
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0444);
  if (file < 0) {
    return false;
  }
  const bool written =
      write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(file) == 0 && written;
}

std::string Failed(const std::string& what) { return what + ": " + std::strerror(errno); }

// Root gets a mount namespace of its own; anyone else maps themselves to root in a new
// user namespace first, which then owns the new mount namespace.
bool EnterPrivateMountNamespace() {
  if (geteuid() == 0) {
    return unshare(CLONE_NEWNS) == 0;
  }
  const std::string uid = std::to_string(geteuid());
  const std::string gid = std::to_string(getegid());
  return unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && WriteFile("/proc/self/setgroups", "deny") &&
         WriteFile("/proc/self/uid_map", "0 " + uid + " 1") &&
         WriteFile("/proc/self/gid_map", "0 " + gid + " 1");
}

}  // namespace

std::string EnterFirmwareNamespace(const FirmwareTables& tables) {
  if (!EnterPrivateMountNamespace()) {
    return Failed("private mount namespace");
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", kFirmware, "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") != 0) {
    return Failed("tmpfs over /sys/firmware");
  }
  if ((tables.dmi || tables.entryPoint) && (mkdir(kDmi, 0755) != 0 || mkdir(kTables, 0755) != 0)) {
    return Failed("table directory");
  }
  if (tables.dmi && !WriteFile(std::string(kTables) + "/DMI", *tables.dmi)) {
    return Failed("DMI");
  }
  if (tables.entryPoint &&
      !WriteFile(std::string(kTables) + "/smbios_entry_point", *tables.entryPoint)) {
    return Failed("smbios_entry_point");
  }
  return "";
}

}  // namespace test_support
