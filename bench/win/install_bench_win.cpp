// Times the installation run of a pack of 2,000 files (64 MiB in all, compressing like a
// product's files) into an empty folder against writing the same bytes, already in memory,
// to the same files with plain CreateFileW and WriteFile calls, in the same process, and
// prints the ratio baseline / run (1.0: the run, which inflates the pack as it writes, costs
// nothing beyond the writes). The run also writes K_rv.cx, its registry records and the
// uninstall shortcut; the ratio is printed against the file writes alone and against a
// baseline that makes those same writes with plain calls too (RegCreateKeyExW and
// RegSetValueExW, a shell-link object saved between CoInitialize and CoUninitialize), and the
// copy step against the file writes. Run under Wine or on Windows:
//   install_bench.exe [repetitions] [folder]
// With "product", runs the start-up's pack verification and the installation run of a built
// installer's embedded product (read from that exe as a data module) into FOLDER, and
// prints the times and the process's peak memory:
//   install_bench.exe product SETUP.EXE FOLDER
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench/win/BenchClock.h"
#include "framework/Text.h"
#include "installer/BaseDef.h"
#include "installer/InstallRun.h"
#include "installer/Platform_win.h"
#include "installer/PubDef.h"
#include "installer/SetupData.h"
#include "installer/Startup.h"

namespace {

constexpr int kFiles = 2000;
constexpr size_t kTotal = size_t{64} << 20;
constexpr int kFolders = 20;
constexpr int kRowsPerRun = 250;
constexpr int kRuns = kFiles / kRowsPerRun;

// The real services, with the product's configuration given in memory instead of as a
// module resource, and messages counted instead of shown.
class BenchPlatform : public Win32Platform {
 public:
  Bytes configResource;
  int messages = 0;
  std::span<const uint8_t> Resource(const std::string& name) override {
    if (name == kConfigResource) return configResource.view();
    return Win32Platform::Resource(name);
  }
  void ShowMessage(const std::string&) override { ++messages; }
};


// The baseline: the same folders and files, each file created and written once.
// made: the folders created so far in this repetition.
bool WritePlain(const std::string& target, const SetupConfig& config, const uint8_t* pack,
                std::set<std::string>& made) {
  CreateDirectoryW(GbkToWide(target).c_str(), nullptr);
  for (int i = 0; i < config.FileCount(); ++i) {
    const SetupFileEntry& row = config.File(i);
    std::string path = target + row.Name.Text();
    std::string folder = FolderPart(path);
    if (made.insert(folder).second) CreateDirectoryW(GbkToWide(folder).c_str(), nullptr);
    HANDLE h = CreateFileW(GbkToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, pack + row.Offset.Get(), static_cast<DWORD>(row.Size.Get()), &put, nullptr);
    CloseHandle(h);
    if (!ok || put != static_cast<DWORD>(row.Size.Get())) return false;
  }
  return true;
}

// The rest of what one record's run writes, with plain calls: the configuration copy, the
// eight registry values and the uninstall shortcut.
bool WritePlainRest(const std::string& target, const SetupConfig& config, std::span<const uint8_t> configResource,
                    const std::string& programs) {
  HANDLE h = CreateFileW(GbkToWide(target + kConfigCopyName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = WriteFile(h, configResource.data(), static_cast<DWORD>(configResource.size()), &put, nullptr);
  CloseHandle(h);
  if (!ok) return false;
  const SetupConfigRecord& r = config.Record();
  const std::string product = r.ProductName.Text();
  auto values = [](const std::string& path, auto write) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, GbkToWide(path.substr(1)).c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    auto text = [&](const wchar_t* name, const std::string& value) {
      std::wstring w = GbkToWide(value);
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                     static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
    };
    auto number = [&](const wchar_t* name, DWORD value) {
      RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    };
    write(text, number);
    RegCloseKey(key);
    return true;
  };
  bool keys = values("\\Software\\VxBench", [&](auto text, auto) {
    text(L"Site", r.WebSite.Text());
    text(L"Author", r.AuthorName.Text());
  }) && values("\\Software\\VxBench\\KORVA-Y", [&](auto text, auto number) {
    number(L"Setup", 1);
    text(L"Version", r.Version.Text());
    text(L"Folder", target);
    text(L"Date", r.RecordDate.Text());
  }) && values(kUninstallKeyPrefix + product, [&](auto text, auto) {
    text(L"DisplayName", product);
    text(L"UninstallString", target + kUninstallerName);
  });
  if (!keys) return false;
  const std::string group = programs + "\\" + product;
  CreateDirectoryW(GbkToWide(group).c_str(), nullptr);
  if (FAILED(CoInitialize(nullptr))) return false;
  IShellLinkW* link = nullptr;
  bool saved = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    std::wstring exe = GbkToWide(target + kUninstallerName);
    link->SetPath(exe.c_str());
    link->SetIconLocation(exe.c_str(), 0);
    link->SetWorkingDirectory(GbkToWide(target).c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      std::string name = group + "\\" + kUninstallCaptionPrefix + product + ".lnk";
      saved = SUCCEEDED(file->Save(GbkToWide(name).c_str(), FALSE));
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return saved;
}

void PrintPeakMemory() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  std::printf("peak working set %.1f MiB, peak private bytes %.1f MiB\n", pmc.PeakWorkingSetSize / 1048576.0,
              pmc.PeakPagefileUsage / 1048576.0);
}

// A built installer's product: the start-up (pack verification included) and the run, with
// the real services, the resources taken from that exe.
int InstallProduct(const wchar_t* exe, const std::string& folder) {
  HMODULE mod = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!mod) {
    std::fprintf(stderr, "cannot load the installer\n");
    return 1;
  }
  class ProductPlatform : public Win32Platform {
   public:
    using Win32Platform::Win32Platform;
    int messages = 0;
    void ShowMessage(const std::string&) override { ++messages; }
    bool Confirm(const std::string&) override { return true; }
  } platform(mod);
  MainFormState form;
  double t0 = Now();
  form.PackCheck = std::make_unique<PackVerification>();
  form.PackCheck->Start(platform);
  StartupResult started = FormCreate(platform, form);
  double t1 = Now();
  if (started.outcome != StartupOutcome::Ready) {
    std::fprintf(stderr, "start-up did not end ready: %s\n", started.errorText.c_str());
    return 1;
  }
  const std::string target = folder + "\\" + form.Config.Record().ProductFolder.Text();
  form.Config.SetTargetFolder(target);
  MakeDirs(platform, target);
  NullCopyPageView view;
  RunInstallation(platform, form, view);
  double t2 = Now();
  uint64_t total = 0;
  for (int i = 0; i < form.Config.FileCount(); ++i) total += static_cast<uint64_t>(form.Config.File(i).Size.Get());
  std::printf("pack %.1f MiB (%zu bytes embedded) in %d files; start-up %.2f s, run %.2f s, %d file messages\n",
              total / 1048576.0, form.PackResource.size(), form.Config.FileCount(), t1 - t0, t2 - t1, platform.messages);
  PrintPeakMemory();
  return platform.messages ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"product") return InstallProduct(argv[2], WideToGbk(argv[3]));
  int reps = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  bool verbose = std::getenv("VX_BENCH_VERBOSE") != nullptr;
  // VX_BENCH_PACK=buffered times the copy from the whole pack inflated first, for comparison.
  const char* packMode = std::getenv("VX_BENCH_PACK");
  PackAccess access = packMode && std::string(packMode) == "buffered" ? PackAccess::Buffered : PackAccess::Auto;
  std::string base;
  if (argc > 2) {
    base = WideToGbk(argv[2]);
  } else {
    wchar_t tmp[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, tmp);
    base = WideToGbk(std::wstring_view(tmp, n)) + "vx_install_bench";
  }
  const std::string target = base + "\\KORVA-Y";

  // The product: 2,000 files of 64 MiB in all, in twenty subfolders. A setup record holds
  // at most 256 file rows, so the files come as eight records of 250 rows, installed one
  // after the other into the same folder; each run also writes its registry records,
  // K_rv.cx and the uninstall shortcut.
  std::vector<MainFormState> forms(kRuns);
  std::vector<Bytes> packs(kRuns), resources(kRuns);
  uint32_t x = 1;
  for (int run = 0; run < kRuns; ++run) {
    MainFormState& form = forms[run];
    SetupConfigRecord& r = form.Config.MutableRecord();
    r.PublisherKey.Assign("VxBench");
    r.ProductFolder.Assign("KORVA-Y");
    r.ProductName.Assign("VxBench");
    form.PublisherKeyPath = "\\Software\\VxBench";
    form.InstalledStateKeyPath = "\\Software\\VxBench\\KORVA-Y";
    std::vector<size_t> sizes;
    size_t packSize = 0;
    for (int j = 0; j < kRowsPerRun; ++j) {
      size_t i = static_cast<size_t>(run * kRowsPerRun + j);
      sizes.push_back(kTotal / kFiles + (i < kTotal % kFiles ? 1 : 0));
      packSize += sizes.back();
    }
    // Text-like runs between stretches of noise, as product files compress.
    Bytes pack(packSize);
    static const char kWords[] = "setup file skin bitmap window data \r\n";
    for (size_t k = 0; k < packSize;) {
      x = x * 1103515245u + 12345u;
      if (x >> 29 == 0)
        for (int n = 0; n < 64 && k < packSize; ++n, x = x * 1103515245u + 12345u) pack.data()[k++] = static_cast<uint8_t>(x >> 24);
      else
        for (size_t w = (x >> 8) % 30; kWords[w] && kWords[w] != ' ' && k < packSize; ++w) pack.data()[k++] = kWords[w];
      if (k < packSize) pack.data()[k++] = ' ';
    }
    size_t offset = 0;
    for (int j = 0; j < kRowsPerRun; ++j) {
      int i = run * kRowsPerRun + j;
      char name[64];
      std::snprintf(name, sizeof name, "\\Data%02d\\File%04d.bin", i % kFolders, i);
      r.Files[j].Name.Assign(name);
      r.Files[j].Offset.Set(static_cast<int32_t>(offset));
      r.Files[j].Size.Set(static_cast<int32_t>(sizes[j]));
      offset += sizes[j];
    }
    r.FileCount.Set(kRowsPerRun);
    resources[run] = CompressResource(pack.view());
    form.PackResource = resources[run].view();
    packs[run] = std::move(pack);
  }

  BenchPlatform platform;
  platform.configResource = CompressResource(forms[0].Config.Bytes());
  NullCopyPageView view;
  auto clean = [&] { std::filesystem::remove_all(GbkToWide(base)); };

  std::vector<double> runTimes, plainTimes, plainAllTimes, copyTimes, recordTimes, linkTimes, inflateTimes;
  const std::string programs = GetProgramsDir(platform);
  for (int rep = 0; rep < reps; ++rep) {
    // What the inflate alone costs on one thread: the part of the run that plain writes lack.
    double i0 = Now();
    for (const Bytes& resource : resources) PackResourceSum(resource.view());
    inflateTimes.push_back(Now() - i0);
    // Alternate the order so that neither side always runs on a warmer cache.
    for (int side = 0; side < 2; ++side) {
      bool runFirst = rep % 2 == 0;
      bool doRun = (side == 0) == runFirst;
      clean();
      CreateDirectoryW(GbkToWide(base).c_str(), nullptr);
      if (doRun) {
        MakeDirs(platform, target);
        double t0 = Now(), copying = 0, records = 0, links = 0;
        for (MainFormState& form : forms) {
          form.Config.SetTargetFolder(target);
          // The run's steps, as RunInstallation takes them, with the file copying timed
          // on its own as well.
          double c0 = Now();
          form.InstallRunning = true;
          CopyFiles(platform, form, view, access);
          double c1 = Now();
          copying += c1 - c0;
          WriteConfigCopy(platform, form);
          WriteRegistryRecords(platform, form);
          WriteExtraRegistryValues(platform, form);
          double c2 = Now();
          records += c2 - c1;
          CreateShortcuts(platform, form);
          CreateUninstallShortcut(platform, form);
          links += Now() - c2;
          form.InstallRunning = false;
        }
        runTimes.push_back(Now() - t0);
        copyTimes.push_back(copying);
        recordTimes.push_back(records);
        linkTimes.push_back(links);
        if (verbose) std::printf("rep %d run   %.3f s\n", rep, runTimes.back());
      } else {
        std::set<std::string> made;
        double t0 = Now(), rest = 0;
        for (int run = 0; run < kRuns; ++run) {
          if (!WritePlain(target, forms[run].Config, packs[run].data(), made)) {
            std::fprintf(stderr, "plain write failed\n");
            return 1;
          }
          double r0 = Now();
          if (!WritePlainRest(target, forms[run].Config, platform.configResource.view(), programs)) {
            std::fprintf(stderr, "plain configuration copy, registry or shortcut failed\n");
            return 1;
          }
          rest += Now() - r0;
        }
        plainAllTimes.push_back(Now() - t0);
        plainTimes.push_back(plainAllTimes.back() - rest);
        if (verbose) std::printf("rep %d plain %.3f s (files %.3f s)\n", rep, plainAllTimes.back(), plainTimes.back());
      }
    }
  }
  clean();
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\VxBench");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VxBench");
  std::error_code ec;
  std::filesystem::remove_all(GbkToWide(GetProgramsDir(platform) + "\\VxBench"), ec);
  if (platform.messages) {
    std::fprintf(stderr, "%d files could not be written\n", platform.messages);
    return 1;
  }
  double run = Median(runTimes), plain = Median(plainTimes);
  std::printf("files %d, bytes %zu, repetitions %d\n", kFiles, kTotal, reps);
  std::printf("installation run  median %.3f s (min %.3f)\n", run, *std::min_element(runTimes.begin(), runTimes.end()));
  std::printf("plain file writes median %.3f s (min %.3f)\n", plain,
              *std::min_element(plainTimes.begin(), plainTimes.end()));
  std::printf("  of which copying median %.3f s, configuration copy and registry %.3f s, shortcuts %.3f s\n",
              Median(copyTimes), Median(recordTimes), Median(linkTimes));
  double plainAll = Median(plainAllTimes), copy = Median(copyTimes);
  std::printf("plain writes of everything the run writes median %.3f s\n", plainAll);
  std::printf("inflating the packs alone, on one thread, median %.3f s\n", Median(inflateTimes));
  std::printf("ratio plain file writes / run %.3f; by minimum %.3f\n", plain / run,
              *std::min_element(plainTimes.begin(), plainTimes.end()) /
                  *std::min_element(runTimes.begin(), runTimes.end()));
  std::printf("ratio plain file writes / copy step %.3f\n", plain / copy);
  std::printf("ratio plain writes of everything / run %.3f (aim: at least 0.9); by minimum %.3f\n", plainAll / run,
              *std::min_element(plainAllTimes.begin(), plainAllTimes.end()) /
                  *std::min_element(runTimes.begin(), runTimes.end()));
  return 0;
}
