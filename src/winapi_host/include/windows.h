// Host build: the part of the Windows API that smbios-probe calls, for Linux.
// Written from what the probe relies on; it follows the Windows SDK's names and
// signatures so the same sources compile against the real headers on Windows.
#pragma once

#include "winapi_host/base_types.h"
#include "winapi_host/guid.h"
#include "winapi_host/unknown.h"
#include "winapi_host/com.h"
#include "winapi_host/automation.h"
#include "winapi_host/process.h"
