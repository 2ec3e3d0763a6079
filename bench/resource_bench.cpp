// The pack's verification and the installation run's copy over a 64 MiB pack, against plain
// zlib inflate of the same stream into a preallocated, warm buffer, in one run:
//   BM_VerifyPack        the start-up's check: inflate through a small reused buffer, summed
//   BM_LoadAndVerifyPack the whole pack inflated into memory and summed (the run's fallback)
//   BM_CopyStreaming / BM_CopyBuffered  the copy step of a 250-file table, files discarded
//                        (wall-clock time against the baseline's: the copy step shares its
//                        rows between two threads)
//   BM_VerifyPackText    the check over a pack of text alone, against BM_PlainInflateText
// Each prints speed_vs_plain_inflate (baseline CPU time / its CPU time) and the heap peak of
// one pass in bytes (peak_heap, zlib's own state included).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "installer/BaseDef.h"
#include "installer/FakePlatform.h"
#include "installer/InstallRun.h"
#include "installer/PubDef.h"
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
// stretches of incompressible bytes. Without the stretches: text alone, which compresses to
// about a fifth.
std::vector<uint8_t> MakePack(bool noise) {
  std::vector<uint8_t> v(kPackSize);
  static const char* words[] = {"setup ", "file ", "skin ", "bitmap ", "window ", "\r\n", "0x1F ", "data "};
  uint64_t x = 88172645463325252ull;
  size_t i = 0;
  while (i < v.size()) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    if (noise && (x & 7) == 0) {
      for (int k = 0; k < 64 && i < v.size(); ++k, x = x * 6364136223846793005ull + 1) v[i++] = static_cast<uint8_t>(x >> 56);
    } else {
      for (const char* w = words[x >> 61]; *w && i < v.size(); ++w) v[i++] = static_cast<uint8_t>(*w);
    }
  }
  return v;
}

const std::vector<uint8_t>& Pack(bool noise = true) {
  static std::vector<uint8_t> mixed = MakePack(true), text = MakePack(false);
  return noise ? mixed : text;
}

const std::vector<uint8_t>& Resource(bool noise = true) {
  static auto make = [](bool n) {
    Bytes b = CompressResource(Pack(n));
    return std::vector<uint8_t>(b.data(), b.data() + b.size());
  };
  static std::vector<uint8_t> mixed = make(true), text = make(false);
  return noise ? mixed : text;
}

void PlainInflate(benchmark::State& state, bool noise) {
  const auto& res = Resource(noise);
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
void BM_PlainInflate(benchmark::State& state) { PlainInflate(state, true); }
void BM_PlainInflateText(benchmark::State& state) { PlainInflate(state, false); }

// Measures the heap peak of what fn does, in bytes above what was live before it.
template <class Fn>
double HeapPeak(Fn fn) {
  int64_t before = g_live.load();
  g_peak = before;
  fn();
  return static_cast<double>(g_peak.load() - before);
}

void VerifyPack(benchmark::State& state, bool noise) {
  const auto& res = Resource(noise);
  const uint32_t expected = PackByteSum(Pack(noise));
  double peak = 0;
  for (auto _ : state) {
    peak = HeapPeak([&] {
      if (PackResourceSum(res) != expected) state.SkipWithError("checksum mismatch");
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackSize));
  state.counters["peak_heap"] = peak;
}
void BM_VerifyPack(benchmark::State& state) { VerifyPack(state, true); }
void BM_VerifyPackText(benchmark::State& state) { VerifyPack(state, false); }

void BM_LoadAndVerifyPack(benchmark::State& state) {
  FakePlatform platform;
  platform.SetResource("SETUPPACK", Resource());
  SetupConfig config;
  config.MutableRecord().PackChecksum.Set(static_cast<int32_t>(PackByteSum(Pack())));
  double peak = 0;
  for (auto _ : state) {
    peak = HeapPeak([&] {
      uint32_t sum = 0;
      auto pack = LoadPack(platform, &sum);
      if (!VerifyPackSum(platform, sum, config)) state.SkipWithError("checksum mismatch");
      benchmark::DoNotOptimize(pack->Memory());
    });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackSize));
  state.counters["peak_heap"] = peak;
}

// The fake machine, with every file's bytes counted and dropped instead of kept.
class DiscardingPlatform : public FakePlatform {
 public:
  class Sink : public TStream {
   public:
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override { return count; }
    int64_t Seek(int64_t, SeekOrigin) override { return 0; }
  };
  std::unique_ptr<TStream> CreateNewFile(const std::string&) override { return std::make_unique<Sink>(); }
  void WriteNewFile(const std::string&, std::span<const uint8_t>) override {}
};


void Copy(benchmark::State& state, PackAccess access) {
  constexpr int kRows = 250;
  DiscardingPlatform platform;
  platform.AddDir("E:\\");
  MainFormState form;
  SetupConfigRecord& r = form.Config.MutableRecord();
  for (int i = 0; i < kRows; ++i) {
    size_t from = kPackSize / kRows * i, to = i + 1 == kRows ? kPackSize : kPackSize / kRows * (i + 1);
    r.Files[i].Name.Assign("\\Data\\File" + std::to_string(i) + ".bin");
    r.Files[i].Offset.Set(static_cast<int32_t>(from));
    r.Files[i].Size.Set(static_cast<int32_t>(to - from));
  }
  r.FileCount.Set(kRows);
  form.Config.SetTargetFolder("E:\\KORVA-Y");
  MakeDirs(platform, "E:\\KORVA-Y");
  form.PackResource = Resource();
  NullCopyPageView view;
  double peak = 0;
  for (auto _ : state) peak = HeapPeak([&] { CopyFiles(platform, form, view, access); });
  if (!platform.messages.empty()) state.SkipWithError("files not written");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackSize));
  state.counters["peak_heap"] = peak;
}
void BM_CopyStreaming(benchmark::State& state) { Copy(state, PackAccess::Auto); }
void BM_CopyBuffered(benchmark::State& state) { Copy(state, PackAccess::Buffered); }

double g_baselineSeconds = 0, g_baselineRealSeconds = 0;

// Adds each run's speed relative to the plain inflate, which runs first.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> copy = runs;
    for (Run& run : copy) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean") continue;
      double seconds = run.GetAdjustedCPUTime();
      if (run.benchmark_name().find("BM_PlainInflate") == 0) {
        g_baselineSeconds = seconds;
        g_baselineRealSeconds = run.GetAdjustedRealTime();
      } else if (g_baselineSeconds > 0) {
        bool wall = run.benchmark_name().find("BM_Copy") == 0;
        double ratio = wall ? g_baselineRealSeconds / run.GetAdjustedRealTime() : g_baselineSeconds / seconds;
        run.counters["speed_vs_plain_inflate"] = benchmark::Counter(ratio);
      }
    }
    ConsoleReporter::ReportRuns(copy);
  }
};

}  // namespace

BENCHMARK(BM_PlainInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_VerifyPack)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadAndVerifyPack)->Unit(benchmark::kMillisecond)->MinTime(2.0);
// The copy step runs on two threads, so the copies compare wall-clock times.
BENCHMARK(BM_CopyStreaming)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_CopyBuffered)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
// The same verification over text alone, against a plain inflate of that text.
BENCHMARK(BM_PlainInflateText)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_VerifyPackText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
  Resource();  // compress once, outside the timings
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
