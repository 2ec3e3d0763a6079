// Loading the sample skin (extraction through a temporary file, then the item list and its
// bitmaps) against the bare raw inflate of the same entry in memory, in one run. The ratio
// baseline time / time (CPU time: the machine is shared) is printed as the counter
// "speed_vs_inflate" of the load and of its two halves. The load also prints
// "speed_vs_floor" against the floor of its design: the entry inflated into a file, read
// back and deleted with plain C calls (aim: 0.8 or more).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "framework/FileUtil.h"
#include "skin/VEL2SkinFormat.h"
#include "skin/VEL2SkinReader.h"

namespace {

using namespace skin2;

struct Entry {
  std::vector<uint8_t> archive;
  size_t dataOffset = 0;
  uint32_t size = 0;
};

// The sample's one entry, located by its directory record as the reader does.
const Entry& SampleEntry() {
  static const Entry entry = [] {
    Entry e;
    std::ifstream f(VX_SAMPLE_SKIN, std::ios::binary);
    e.archive.assign(std::istreambuf_iterator<char>(f), {});
    if (e.archive.size() < kEndRecordSize) throw std::runtime_error("sample skin missing");
    const uint8_t* end = e.archive.data() + e.archive.size() - kEndRecordSize;
    const uint8_t* dir = e.archive.data() + Le32(end + kEndDirOffsetField);
    e.size = Le32(dir + kCentralUncompressedField);
    const uint8_t* local = e.archive.data() + Le32(dir + kCentralLocalOffsetField);
    e.dataOffset = static_cast<size_t>(local - e.archive.data()) + kLocalHeaderSize + Le16(local + 26) + Le16(local + 28);
    return e;
  }();
  return entry;
}

double g_inflateSeconds = 0, g_floorSeconds = 0;

void BM_InflateEntryBaseline(benchmark::State& state) {
  const Entry& e = SampleEntry();
  std::vector<uint8_t> out(e.size);
  for (auto _ : state) {
    z_stream zs{};
    inflateInit2(&zs, -MAX_WBITS);
    zs.next_in = const_cast<Bytef*>(e.archive.data() + e.dataOffset);
    zs.avail_in = static_cast<uInt>(e.archive.size() - e.dataOffset);
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    if (inflate(&zs, Z_FINISH) != Z_STREAM_END) state.SkipWithError("inflate failed");
    inflateEnd(&zs);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * e.size);
}

void BM_FileRoundTripFloor(benchmark::State& state) {
  const Entry& e = SampleEntry();
  const std::string path = TempFolder() + "vx_skin_floor.tmp";
  std::vector<uint8_t> piece(64 * 1024), back(e.size);
  for (auto _ : state) {
    FILE* out = std::fopen(path.c_str(), "wb");
    z_stream zs{};
    inflateInit2(&zs, -MAX_WBITS);
    zs.next_in = const_cast<Bytef*>(e.archive.data() + e.dataOffset);
    zs.avail_in = static_cast<uInt>(e.archive.size() - e.dataOffset);
    int rc = Z_OK;
    while (rc == Z_OK) {
      zs.next_out = piece.data();
      zs.avail_out = static_cast<uInt>(piece.size());
      rc = inflate(&zs, Z_NO_FLUSH);
      std::fwrite(piece.data(), 1, piece.size() - zs.avail_out, out);
    }
    inflateEnd(&zs);
    std::fclose(out);
    FILE* in = std::fopen(path.c_str(), "rb");
    if (rc != Z_STREAM_END || std::fread(back.data(), 1, back.size(), in) != back.size())
      state.SkipWithError("round trip failed");
    std::fclose(in);
    std::remove(path.c_str());
    benchmark::DoNotOptimize(back.data());
  }
}

void BM_LoadSampleSkin(benchmark::State& state) {
  SampleEntry();
  for (auto _ : state) {
    Tsk2SkinFileReader reader(VX_SAMPLE_SKIN, "");
    if (!reader.Ready()) state.SkipWithError("sample skin not ready");
    benchmark::DoNotOptimize(reader.GetBitmap("SKIN2_BUTTON"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * SampleEntry().size);
}

// The two halves of the load, for locating its cost: the extraction into a file, and the
// item list read from memory.
void BM_ExtractEntryOnly(benchmark::State& state) {
  const std::string out = TempFolder() + NewGuidText();
  for (auto _ : state) {
    if (ExtractZipEntry(VX_SAMPLE_SKIN, kEntryName, out, "") != 0) state.SkipWithError("extraction failed");
    RemoveFile(out);
  }
}

void BM_ReadItemsOnly(benchmark::State& state) {
  const Entry& e = SampleEntry();
  std::vector<uint8_t> data(e.size);
  z_stream zs{};
  inflateInit2(&zs, -MAX_WBITS);
  zs.next_in = const_cast<Bytef*>(e.archive.data() + e.dataOffset);
  zs.avail_in = static_cast<uInt>(e.archive.size() - e.dataOffset);
  zs.next_out = data.data();
  zs.avail_out = static_cast<uInt>(data.size());
  inflate(&zs, Z_FINISH);
  inflateEnd(&zs);
  for (auto _ : state) {
    Sk2Items items;
    if (!ReadSk2Data(data, items)) state.SkipWithError("damaged");
    benchmark::DoNotOptimize(items.Bitmaps.data());
  }
}

// Runs the baseline first so that the load can report its speed relative to it.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> copy = runs;
    for (Run& run : copy) {
      // Single runs, or the means of repeated ones.
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean") continue;
      double seconds = run.GetAdjustedCPUTime();
      if (run.benchmark_name().find("BM_InflateEntryBaseline") == 0) {
        g_inflateSeconds = seconds;
        continue;
      }
      if (run.benchmark_name().find("BM_FileRoundTripFloor") == 0) g_floorSeconds = seconds;
      if (g_inflateSeconds > 0) run.counters["speed_vs_inflate"] = benchmark::Counter(g_inflateSeconds / seconds);
      if (g_floorSeconds > 0 && run.benchmark_name().find("BM_LoadSampleSkin") == 0)
        run.counters["speed_vs_floor"] = benchmark::Counter(g_floorSeconds / seconds);
    }
    ConsoleReporter::ReportRuns(copy);
  }
};

}  // namespace

BENCHMARK(BM_InflateEntryBaseline);
BENCHMARK(BM_FileRoundTripFloor);
BENCHMARK(BM_LoadSampleSkin);
BENCHMARK(BM_ExtractEntryOnly);
BENCHMARK(BM_ReadItemsOnly);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
