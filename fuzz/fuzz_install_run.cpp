// The installation run over any setup record and pack, against the in-memory platform:
// file names, offsets, sizes, counts, shortcut rows and registry rows come from the input.
// Nothing may be read outside the record or the pack, and nothing written outside the
// target folder.
#include <algorithm>
#include <cstring>

#include "fuzz/FuzzCursor.h"
#include "installer/BaseDef.h"
#include "installer/FakePlatform.h"
#include "installer/InstallRun.h"
#include "installer/PubDef.h"

namespace {
// The file name label shortens every name it is given, as the form's does.
class NoView : public NullCopyPageView {
 public:
  void SetFNameLbCaption(const std::string& t) override { (void)ShortenPath(t, 40); }
};

// The input's fields, and short strings as a stored record holds them.
struct Cursor : FuzzCursor {
  template <size_t N>
  void Text(ShortString<N>& slot) {
    slot.length = Byte();  // may exceed the capacity, as a stored record may
    for (size_t i = 0; i < std::min<size_t>(slot.length, N); ++i) slot.text[i] = static_cast<char>(Byte());
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is a compact record (counts, then each row's fields), then the pack.
  MainFormState form;
  SetupConfigRecord& r = form.Config.MutableRecord();
  Cursor in{{data, size}};
  int files = in.Byte() % 8, shortcuts = in.Byte() % 8, values = in.Byte() % 8;
  r.ProductName.length = in.Byte() % 16;
  for (int i = 0; i < files; ++i) {
    in.Text(r.Files[i].Name);
    r.Files[i].Offset.Set(in.Int());
    r.Files[i].Size.Set(in.Int());
  }
  for (int i = 0; i < shortcuts; ++i) {
    in.Text(r.Shortcuts[i].Caption);
    r.Shortcuts[i].FileIndex.Set(in.Int());
    r.Shortcuts[i].Kind = in.Byte();
  }
  for (int i = 0; i < values; ++i) {
    SetupRegistryEntry& e = r.RegistryValues[i];
    in.Text(e.ValueName);
    e.UseCurrentUser = in.Byte();
    in.Text(e.KeyPath);
    e.ValueType = in.Byte();
    e.BoolValue = in.Byte();
    in.Text(e.StringValue);
    e.IntegerValue.Set(in.Int());
  }
  // Counts as stored, out-of-range ones included, when the input asks for it.
  r.FileCount.Set(in.Byte() == 0xFF ? in.Int() : files);
  r.ShortcutCount.Set(shortcuts);
  r.RegistryValueCount.Set(values);
  form.Config.SetTargetFolder("E:\\Target");
  Bytes pack = CompressResource({in.p, in.left});
  form.PackResource = pack.view();
  form.PublisherKeyPath = "\\Software\\P";
  form.InstalledStateKeyPath = "\\Software\\P\\F";

  FakePlatform fake;
  fake.AddDir("E:\\Target");
  fake.SetResource("SETUPINI", {1, 2, 3, 4});
  fake.SetRegString(RegRoot::CurrentUser, kShellFoldersKey, "Desktop", "C:\\Desktop");
  fake.SetRegString(RegRoot::CurrentUser, kShellFoldersKey, "Programs", "C:\\Programs");
  fake.AddDir("C:\\Desktop");
  fake.AddDir("C:\\Programs");
  NoView view;
  try {
    RunInstallation(fake, form, view);
  } catch (const std::exception&) {
    // Raised shortcut errors end the run, as they may.
  }
  // Every file written lies inside the target folder.
  const std::string root = "E:\\TARGET";
  for (const std::string& key : fake.FileKeys())
    if (key.rfind(root + "\\", 0) != 0 || !IsSafeRelativeName(key.substr(root.size()))) __builtin_trap();
  return 0;
}
