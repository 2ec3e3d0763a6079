// skinbuilder: makes skin files and shows what they hold.
//   skinbuilder build BITMAP_FOLDER VALUES.toml OUTPUT.ssk [--password P]
//   skinbuilder list SKIN.ssk [--password P]
//   skinbuilder sample-art OUTPUT_FOLDER
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "skin/VEL2Define.h"
#include "skin/VEL2SkinReader.h"
#include "skin/VEL2SkinWriter.h"
#include "tools/common/ToolFiles.h"
#include "tools/skinbuilder/SampleArt.h"
#include "tools/skinbuilder/SkinValues.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::cerr << "usage: skinbuilder build BITMAP_FOLDER VALUES.toml OUTPUT.ssk [--password P]\n"
               "       skinbuilder list SKIN.ssk [--password P]\n"
               "       skinbuilder sample-art OUTPUT_FOLDER\n";
  return 2;
}

// No bitmap larger than the skin data the reader accepts can go into a skin.
std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::string data;
  std::string problem = ReadInputFile(path.string(), Tsk2SkinFileReader::kMaxDataSize, data);
  if (!problem.empty()) throw std::runtime_error(problem);
  return std::vector<uint8_t>(data.begin(), data.end());
}

// Written under a temporary name and renamed when complete: a failed write leaves an
// existing file as it was.
void WriteFile(const fs::path& path, std::span<const uint8_t> bytes) {
  fs::path dir = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  std::string problem = WriteFilesAtomically(
      dir.string(), {{path.filename().string(), std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())}});
  if (!problem.empty()) throw std::runtime_error(problem);
}

// What the skin reader would refuse is refused here, before anything is written: names
// that differ only in letter case (lookups would see only the first), data over the
// reader's limit, bitmaps over its pixel budget.
void CheckForReader(const std::vector<Sk2Item>& items, const std::vector<uint8_t>& data) {
  int64_t pixels = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    for (size_t k = 0; k < i; ++k)
      if (SameText(items[k].Name, items[i].Name))
        throw std::runtime_error(GbkToUtf8(items[i].Name) + ": named twice (letter case aside)");
    int width, height;
    if (items[i].Kind == skin2::ItemKind::Bitmap && TBitmap::ReadBmpSize(items[i].Payload, width, height))
      pixels += static_cast<int64_t>(width) * height;
  }
  if (pixels > TBitmap::kMaxPixels)
    throw std::runtime_error("the bitmaps hold " + std::to_string(pixels) + " pixels, over the reader's budget of " +
                             std::to_string(TBitmap::kMaxPixels));
  if (data.size() > Tsk2SkinFileReader::kMaxDataSize)
    throw std::runtime_error("the skin data would be " + std::to_string(data.size()) + " bytes, over the reader's limit of " +
                             std::to_string(Tsk2SkinFileReader::kMaxDataSize));
  Sk2Items check;
  if (!ReadSk2Data(data, check)) throw std::runtime_error("the skin reader refuses the data built");
}

int VocabularyIndex(const std::string& name) {
  for (int i = 0; i < kSkin2NameCount; ++i)
    if (name == Skin2ItemNames[i]) return i;
  return kSkin2NameCount;
}

// Every *.bmp of the folder as a bitmap item named after the file (upper case, without
// extension), in the order of the item-name table, unknown names after them by name.
std::vector<Sk2Item> ReadBitmaps(const fs::path& folder) {
  std::vector<std::pair<std::string, fs::path>> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext != ".bmp") continue;
    std::string name = entry.path().stem().string();
    if (name.empty() || name.size() > 64 || !std::all_of(name.begin(), name.end(), [](char c) { return c > 32 && c < 127; }))
      throw std::runtime_error(entry.path().string() + ": a bitmap's file name must be 1 to 64 ASCII characters");
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    files.emplace_back(name, entry.path());
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    int ia = VocabularyIndex(a.first), ib = VocabularyIndex(b.first);
    return ia != ib ? ia < ib : a.first < b.first;
  });
  std::vector<Sk2Item> items;
  for (const auto& [name, path] : files) {
    std::vector<uint8_t> bytes = ReadFile(path);
    TBitmap check;
    if (!TBitmap::LoadFromBmp(bytes, check)) throw std::runtime_error(path.string() + ": not a bitmap file");
    items.push_back(Sk2Item::Bitmap(name, bytes));
  }
  return items;
}

int Build(const std::vector<std::string>& args, const std::string& password) {
  if (args.size() != 3) return Usage();
  std::vector<Sk2Item> items = ReadBitmaps(args[0]);
  std::vector<Sk2Item> values = ReadSkinValues(args[1]);
  items.insert(items.end(), std::make_move_iterator(values.begin()), std::make_move_iterator(values.end()));
  std::vector<uint8_t> data = BuildSk2Data(items);
  CheckForReader(items, data);
  SkinContainerOptions options;
  options.Password = password;
  WriteFile(args[2], BuildSkinContainer(data, options));
  return 0;
}

int List(const std::vector<std::string>& args, const std::string& password) {
  if (args.size() != 1) return Usage();
  try {
    Tsk2SkinFileReader reader(args[0], password);
    if (!reader.Ready()) {
      std::fprintf(stderr, "skinbuilder: %s: %s\n", args[0].c_str(), reader.Problem().c_str());
      return 3;
    }
    const Sk2Items& items = reader.Items();
    for (const auto& [name, bitmap] : items.Bitmaps)
      std::printf("bitmap %s %dx%d\n", GbkToUtf8(name).c_str(), bitmap.Width(), bitmap.Height());
    for (const auto& [name, value] : items.Integers) std::printf("int %s %d\n", GbkToUtf8(name).c_str(), value);
    for (const auto& [name, value] : items.Booleans) std::printf("bool %s %d\n", GbkToUtf8(name).c_str(), value);
    for (const auto& [name, value] : items.Texts)
      std::printf("text %s %s\n", GbkToUtf8(name).c_str(), GbkToUtf8(value).c_str());
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

int SampleArt(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage();
  fs::create_directories(args[0]);
  for (const auto& [name, bitmap] : DrawBlueSkinArt()) {
    Bytes bmp = bitmap.SaveToBmp(24);
    WriteFile(fs::path(args[0]) / (name + ".bmp"), bmp.view());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  std::vector<std::string> args;
  std::string password;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--password" && i + 1 < argc)
      password = argv[++i];
    else
      args.push_back(a);
  }
  try {
    if (command == "build") return Build(args, password);
    if (command == "list") return List(args, password);
    if (command == "sample-art") return SampleArt(args);
  } catch (const std::exception& e) {
    std::cerr << "skinbuilder: " << e.what() << "\n";
    return 1;
  }
  return Usage();
}
