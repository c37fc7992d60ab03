// The walk over a table of about 1 MiB made of the captured tables' structures (each
// without its end-of-table structure), asked for a type none of them has, beside a plain
// loop over the same bytes. Allocations through operator new during one walk are counted;
// the walk calls no allocation function of any other kind either.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "smbios_table.h"
#include "smbios_tables.h"

namespace {

std::atomic<long> allocations{0};

constexpr uint8_t kAbsentType = 0xF0;
constexpr std::size_t kTableBytes = 1u << 20;

SmbiosTable TableOf(const std::string& bytes) {
  return {3, 0, reinterpret_cast<uint8_t*>(const_cast<char*>(bytes.data())),
          static_cast<uint32_t>(bytes.size())};
}

// The structures of `table` that come before its end-of-table structure.
std::string WithoutEndOfTable(const std::string& bytes) {
  const SmbiosTable table = TableOf(bytes);
  const uint8_t* end = FindStructure(table, 127);
  return end == nullptr ? bytes : bytes.substr(0, static_cast<std::size_t>(end - table.data));
}

const std::string& LargeTable() {
  static const std::string table = [] {
    std::string structures;
    for (const char* file : {"desktop-board.bin", "laptop-v3.2.bin", "server-dual-socket.bin",
                             "server-quad-socket.bin", "server-oem-first.bin"}) {
      structures += WithoutEndOfTable(test_support::ReadTestTable(file));
    }
    std::string large;
    while (large.size() + structures.size() <= kTableBytes) {
      large += structures;
    }
    return large;
  }();
  return table;
}

void BM_FindStructureAbsentType(benchmark::State& state) {
  const SmbiosTable table = TableOf(LargeTable());
  if (FindStructure(table, kAbsentType) != nullptr) {
    state.SkipWithError("the type asked for is in the table");
    return;
  }
  const long before = allocations;
  benchmark::DoNotOptimize(FindStructure(table, kAbsentType));
  const long walkAllocations = allocations - before;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindStructure(table, kAbsentType));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * table.size);
  state.counters["allocations_per_walk"] = static_cast<double>(walkAllocations);
}
BENCHMARK(BM_FindStructureAbsentType);

// Reads every byte once, as the least any walk must do.
void BM_PlainByteLoop(benchmark::State& state) {
  const SmbiosTable table = TableOf(LargeTable());
  for (auto _ : state) {
    uint32_t zeros = 0;
    for (uint32_t i = 0; i < table.size; ++i) {
      zeros += table.data[i] == 0;
    }
    benchmark::DoNotOptimize(zeros);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * table.size);
}
BENCHMARK(BM_PlainByteLoop);

}  // namespace

// Counts every allocation made through operator new in this process. (GCC takes the
// replacement's malloc and free for a mismatch with new and delete.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

BENCHMARK_MAIN();
