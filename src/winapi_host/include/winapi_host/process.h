// Process services: the module handle and the command line.
#pragma once

#include "winapi_host/base_types.h"

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
LPWSTR WINAPI GetCommandLineW();
