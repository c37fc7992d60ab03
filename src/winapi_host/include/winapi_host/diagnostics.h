// What the host COM layer holds at this moment, so tests can prove that a caller
// released everything it obtained. Not part of the Windows API.
#pragma once

#include "winapi_host/base_types.h"

namespace winapi_host {

long LiveComObjects();
long LiveBstrs();
long LiveSafeArrays();
bool IsLiveBstr(const OLECHAR* text);

// How many successful CoInitializeEx calls on this thread are not yet balanced.
int ApartmentDepth();

}  // namespace winapi_host
