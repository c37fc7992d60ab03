#include "run_probe.h"

#include <windows.h>

#include "afx_console.h"
#include "smbios_table.h"

namespace {

// Releases the record on every way out of the run.
class TableRelease {
 public:
  explicit TableRelease(SmbiosTable& table) : table_(table) {}
  ~TableRelease() { ReleaseSmbiosTable(table_); }
  TableRelease(const TableRelease&) = delete;
  TableRelease& operator=(const TableRelease&) = delete;

 private:
  SmbiosTable& table_;
};

}  // namespace

int RunProbe(uint8_t vendorType) {
  // The console module's framework initialisation always succeeds.
  AfxWinInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), 0);

  SmbiosTable table{};
  const TableRelease release(table);
  if (!ReadRawSmbiosTable(table)) {
    return kTableUnreadable;
  }
  return FindStructure(table, vendorType) != nullptr ? kStructurePresent : kStructureAbsent;
}
