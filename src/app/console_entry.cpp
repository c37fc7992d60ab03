// The console entry: no options are taken, and the run's status is the exit code.
#include "run_probe.h"
#include "vendor_structure_type.h"

extern "C" int wmain(int, wchar_t*[], wchar_t*[]) { return RunProbe(kVendorStructureType); }
