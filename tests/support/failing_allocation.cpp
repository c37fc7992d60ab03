// Replaces the nothrow array form of operator new for the test executable; it forwards
// to the ordinary operator new[] so that delete[] still matches it.
#include "failing_allocation.h"

#include <new>

namespace {

bool failNext = false;

}  // namespace

void test_support::FailNextNothrowArrayAllocation() { failNext = true; }

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (failNext) {
    failNext = false;
    return nullptr;
  }
  try {
    return ::operator new[](size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
