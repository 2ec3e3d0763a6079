// Extraction of the skin container's entry from arbitrary archive bytes, with an arbitrary
// password; an extracted entry is read as SK2 data too. Input: one byte giving the password
// length (modulo 8), the password, then the archive.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/FileUtil.h"
#include "skin/VEL2SkinReader.h"

namespace {
std::string Scratch(const char* leaf) {
  return TempFolder() + "fuzz_skin_container_" + std::to_string(getpid()) + "_" + leaf;
}
const std::string& ArchivePath() {
  static const std::string path = Scratch("in.ssk");
  return path;
}
// libFuzzer ends through exit(): the input file goes with the process.
void RemoveArchive() { RemoveFile(ArchivePath()); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string& archive = ArchivePath();
  static const std::string output = Scratch("out.sk2");
  static const int registered = std::atexit(RemoveArchive);
  (void)registered;
  if (size == 0) return 0;
  size_t passwordLength = data[0] % 8;
  if (size < 1 + passwordLength) return 0;
  std::string password(reinterpret_cast<const char*>(data + 1), passwordLength);
  FILE* f = std::fopen(archive.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 1 + passwordLength, 1, size - 1 - passwordLength, f);
  std::fclose(f);

  int result = ExtractZipEntry(archive, "SKINDATA.SK2", output, password, 1u << 20);
  if (result != 0 && FileExists(output)) __builtin_trap();  // a failed extraction leaves no file
  if (result == 0) {
    FILE* in = std::fopen(output.c_str(), "rb");
    std::string bytes;
    char buf[4096];
    size_t n;
    while (in && (n = std::fread(buf, 1, sizeof buf, in)) > 0) bytes.append(buf, n);
    if (in) std::fclose(in);
    Sk2Items items;
    ReadSk2Data({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, items);
    RemoveFile(output);
  }
  return 0;
}
