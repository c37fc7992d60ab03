#include "com_object.h"

#include "winapi_host/diagnostics.h"

namespace {

std::atomic<long> liveObjects{0};

}  // namespace

winapi_host::LiveComObjectCount::LiveComObjectCount() { ++liveObjects; }

winapi_host::LiveComObjectCount::~LiveComObjectCount() { --liveObjects; }

long winapi_host::LiveComObjects() { return liveObjects; }
