#include "afx_console.h"

namespace {

AfxModuleStartup moduleStartup{};

}  // namespace

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  moduleStartup = {instance, commandLine, showCommand};
  return TRUE;
}

const AfxModuleStartup& AfxGetModuleStartup() { return moduleStartup; }
