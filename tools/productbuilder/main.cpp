// productbuilder: turns a product manifest into the resources setup.exe embeds, and reads
// them back out of a built setup.exe so a publisher can check what they ship.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/Describe.h"
#include "installer/PeResources.h"
#include "installer/SetupCheck.h"
#include "installer/SetupData.h"
#include "tools/common/ToolFiles.h"
#include "tools/productbuilder/Manifest.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage:\n"
               "  productbuilder build MANIFEST.toml OUTDIR [-D NAME=VALUE]...\n"
               "      writes OUTDIR/SETUPINI.bin, SETUPPACK.bin and Protocol.txt\n"
               "  productbuilder inspect SETUP.EXE | OUTDIR | SETUPINI SETUPPACK PROTOCOL\n"
               "      prints the setup record, its tables and the pack check;\n"
               "      exit 0 when every stream is sound, the checksum matches and the record keeps\n"
               "      the installer's rules; 2 otherwise, with the problems listed\n");
  return 64;
}

// Inputs of inspect: a setup.exe or resource files, never more than the pack's 2 GiB.
constexpr uint64_t kMaxInspectInput = INT32_MAX;

bool Slurp(const fs::path& p, std::string& data) {
  std::string problem = ReadInputFile(p.string(), kMaxInspectInput, data);
  if (!problem.empty()) std::fprintf(stderr, "productbuilder: %s\n", problem.c_str());
  return problem.empty();
}

int Build(int argc, char** argv) {
  if (argc < 4) return Usage();
  std::map<std::string, std::string> vars;
  for (int i = 4; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-D" && i + 1 < argc) a = argv[++i];
    else if (a.rfind("-D", 0) == 0) a = a.substr(2);
    else return Usage();
    size_t eq = a.find('=');
    if (eq == std::string::npos) return Usage();
    if (eq == 0) {
      std::fprintf(stderr, "productbuilder: -D %s: the variable needs a name before '='\n", a.c_str());
      return 64;
    }
    vars[a.substr(0, eq)] = a.substr(eq + 1);
  }
  BuiltProduct product;
  std::vector<std::string> errors;
  if (!BuildProduct(argv[2], vars, product, errors)) {
    for (const auto& e : errors) std::fprintf(stderr, "productbuilder: %s\n", e.c_str());
    std::fprintf(stderr, "productbuilder: nothing written\n");
    return 1;
  }
  Bytes ini = CompressResource(product.config.Bytes());
  Bytes pack = CompressResource(product.pack);
  // All three appear together or not at all: a mix of old and new resources would not match.
  std::string problem =
      WriteFilesAtomically(argv[3], {{"SETUPINI.bin", std::string(reinterpret_cast<const char*>(ini.data()), ini.size())},
                                     {"SETUPPACK.bin", std::string(reinterpret_cast<const char*>(pack.data()), pack.size())},
                                     {"Protocol.txt", product.licence}});
  if (problem.empty()) return 0;
  std::fprintf(stderr, "productbuilder: %s\nproductbuilder: nothing written\n", problem.c_str());
  return 1;
}

int Inspect(int argc, char** argv) {
  std::string ini, pack, licence, image;
  if (argc == 3 && fs::is_directory(argv[2])) {
    fs::path d = argv[2];
    if (!Slurp(d / "SETUPINI.bin", ini) || !Slurp(d / "SETUPPACK.bin", pack) || !Slurp(d / "Protocol.txt", licence))
      return 1;
  } else if (argc == 3) {
    if (!Slurp(argv[2], image)) return 1;
    PeRcData res = ReadPeRcData({reinterpret_cast<const uint8_t*>(image.data()), image.size()});
    if (!res.error.empty()) {
      std::fprintf(stderr, "productbuilder: %s: %s\n", argv[2], res.error.c_str());
      return 1;
    }
    for (const char* name : {"SETUPINI", "SETUPPACK", "PROTOCOL"}) {
      auto it = res.byName.find(name);
      if (it == res.byName.end()) {
        std::fprintf(stderr, "productbuilder: %s: Resource %s not found\n", argv[2], name);
        return 1;
      }
      std::string bytes(reinterpret_cast<const char*>(it->second.data()), it->second.size());
      (std::strcmp(name, "SETUPINI") == 0 ? ini : std::strcmp(name, "SETUPPACK") == 0 ? pack : licence) = bytes;
    }
  } else if (argc == 5) {
    if (!Slurp(argv[2], ini) || !Slurp(argv[3], pack) || !Slurp(argv[4], licence)) return 1;
  } else {
    return Usage();
  }
  auto span = [](const std::string& s) { return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size()); };
  // The installer stops reading at the declared size; a checking tool also confirms that
  // each stream ends there and passes its own check, so damage past that point shows.
  std::vector<std::string> problems;
  for (const RecordProblem& p : CheckResources(span(ini), span(pack), span(licence)))
    problems.push_back(p.field + ": " + p.what);
  try {
    SetupConfig config;
    config.Load(DecompressResource(span(ini)).view());
    Bytes packBytes = DecompressResource(span(pack));
    SetupReport rep = DescribeSetup(config, packBytes.view(), span(licence));
    std::string text = GbkToUtf8(rep.text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    for (const std::string& p : problems) std::printf("problem: %s\n", GbkToUtf8(p).c_str());
    return rep.checksumMatches && rep.problems.empty() && problems.empty() ? 0 : 2;
  } catch (const Exception& e) {
    for (const std::string& p : problems) std::fprintf(stderr, "productbuilder: %s\n", p.c_str());
    std::fprintf(stderr, "productbuilder: %s\n", GbkToUtf8(e.what()).c_str());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  if (cmd == "build") return Build(argc, argv);
  if (cmd == "inspect") return Inspect(argc, argv);
  return Usage();
}
