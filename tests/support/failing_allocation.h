// Makes the next nothrow array allocation fail, as it would when memory runs out.
#pragma once

namespace test_support {

void FailNextNothrowArrayAllocation();

}  // namespace test_support
