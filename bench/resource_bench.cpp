// Loading and verifying a 64 MiB pack (inflate straight into the pack's own buffer, then
// the byte sum) against plain zlib inflate of the same stream into a preallocated buffer.
// Also reports the heap peak of one load as a multiple of the pack size.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "installer/BaseDef.h"
#include "installer/FakePlatform.h"
#include "installer/SetupData.h"

// Heap accounting for the peak measurement: every operator new in this program. The
// replacements below pair malloc with free themselves, which GCC cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<int64_t> g_live{0}, g_peak{0};
void* operator new(size_t n) {
  void* p = std::malloc(n + 16);
  if (!p) throw std::bad_alloc();
  *static_cast<size_t*>(p) = n;
  int64_t live = g_live += static_cast<int64_t>(n);
  int64_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(p) + 16;
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept {
  if (!p) return;
  char* base = static_cast<char*>(p) - 16;
  g_live -= static_cast<int64_t>(*reinterpret_cast<size_t*>(base));
  std::free(base);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }

namespace {

constexpr size_t kPackSize = 64u << 20;

// Pack contents that compress like a real product: runs of text-like words mixed with
// stretches of incompressible bytes.
const std::vector<uint8_t>& Pack() {
  static std::vector<uint8_t> pack = [] {
    std::vector<uint8_t> v(kPackSize);
    static const char* words[] = {"setup ", "file ", "skin ", "bitmap ", "window ", "\r\n", "0x1F ", "data "};
    uint64_t x = 88172645463325252ull;
    size_t i = 0;
    while (i < v.size()) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      if ((x & 7) == 0) {
        for (int k = 0; k < 64 && i < v.size(); ++k, x = x * 6364136223846793005ull + 1) v[i++] = static_cast<uint8_t>(x >> 56);
      } else {
        for (const char* w = words[x >> 61]; *w && i < v.size(); ++w) v[i++] = static_cast<uint8_t>(*w);
      }
    }
    return v;
  }();
  return pack;
}

const std::vector<uint8_t>& Resource() {
  static std::vector<uint8_t> res = [] {
    Bytes b = CompressResource(Pack());
    return std::vector<uint8_t>(b.data(), b.data() + b.size());
  }();
  return res;
}

void BM_PlainInflate(benchmark::State& state) {
  const auto& res = Resource();
  std::vector<uint8_t> out(kPackSize);
  for (auto _ : state) {
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef*>(res.data() + 4);
    z.avail_in = static_cast<uInt>(res.size() - 4);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END) state.SkipWithError("inflate failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackSize));
}

void BM_LoadAndVerifyPack(benchmark::State& state) {
  FakePlatform platform;
  platform.SetResource("SETUPPACK", Resource());
  SetupConfig config;
  config.MutableRecord().PackChecksum.Set(static_cast<int32_t>(PackByteSum(Pack())));
  double peakRatio = 0;
  for (auto _ : state) {
    int64_t before = g_live.load();
    g_peak = before;
    uint32_t sum = 0;
    auto pack = LoadPack(platform, &sum);
    if (!VerifyPackSum(platform, sum, config)) state.SkipWithError("checksum mismatch");
    peakRatio = static_cast<double>(g_peak.load() - before) / static_cast<double>(kPackSize);
    benchmark::DoNotOptimize(pack->Memory());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackSize));
  state.counters["peak_heap_per_pack_byte"] = peakRatio;
}

}  // namespace

BENCHMARK(BM_PlainInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadAndVerifyPack)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
  Resource();  // compress once, outside the timings
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
