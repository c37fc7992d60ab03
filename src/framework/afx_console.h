// The application framework's initialisation for a console module. The framework is
// not available on the toolchains we build with, so this is our own minimal one: it
// keeps what the module was started with, under the framework's name for the call.
#pragma once

#include <windows.h>

struct AfxModuleStartup {
  HINSTANCE instance;
  LPWSTR commandLine;
  int showCommand;
};

// Always succeeds. There is never a previous instance on Win32; it is ignored.
BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                int showCommand);

// What the last AfxWinInit was given.
const AfxModuleStartup& AfxGetModuleStartup();
