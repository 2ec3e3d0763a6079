// Skin files: extraction of the container's entry and the reader of the SK2 item list
// inside it, which answers lookups of bitmaps, integers and switches by item name.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Bitmap.h"

// Writes the entry entryName (compared ignoring ASCII letter case) of the skin container at
// archivePath to outputPath. Results: 0 written; 1 failure (no such file, not a container,
// entry absent, a broken stream); 2 encrypted with an empty or wrong password, or the bytes
// decoded differ in number from the entry's uncompressed size (a declared size above
// maxUncompressedSize counts as such). No output file remains unless the result is 0.
// reason, when given, receives why the result is not 0 (for a tool to report).
int ExtractZipEntry(const std::string& archivePath, const std::string& entryName, const std::string& outputPath,
                    const std::string& password, uint32_t maxUncompressedSize = UINT32_MAX,
                    std::string* reason = nullptr);

// The items of SK2 data, in file order.
struct Sk2Items {
  std::vector<std::pair<std::string, TBitmap>> Bitmaps;
  std::vector<std::pair<std::string, int32_t>> Integers;
  std::vector<std::pair<std::string, int>> Booleans;
  std::vector<std::pair<std::string, std::string>> Texts;
};

// Reads SK2 data. False when the data is damaged (too short, an item chain that leaves the
// data or runs on longer than the data can hold, a payload past the end, a bitmap payload
// that does not decode, payloads adding up to more than the data, bitmaps whose headers add
// up to more than TBitmap::kMaxPixels, checked before any is decoded); items is then empty.
bool ReadSk2Data(std::span<const uint8_t> data, Sk2Items& items);

class Tsk2SkinFileReader {
 public:
  // Loads the skin: extracts its data into a temporary file, reads it and removes the file.
  // Raises Exception("Failed to read skin file! PATH: reason") when the file is missing, a
  // folder, not a skin container, lacks the data entry or no temporary file can be made.
  // A wrong password or damaged data leave it not ready, with Problem() saying why.
  Tsk2SkinFileReader(const std::string& skinFilePath, const std::string& password);
  Tsk2SkinFileReader(const Tsk2SkinFileReader&) = delete;
  Tsk2SkinFileReader& operator=(const Tsk2SkinFileReader&) = delete;

  bool Ready() const { return ready_; }
  const std::string& Problem() const { return problem_; }
  // The first bitmap item of that name, owned by the reader; nullptr when there is none.
  const TBitmap* GetBitmap(std::string_view name) const;
  // The first Boolean item of that name; 0 when there is none.
  int GetBool(std::string_view name) const;
  // The first integer item of that name; -1 when there is none.
  int32_t GetInteger(std::string_view name) const;
  const Sk2Items& Items() const { return items_; }

  // SK2 data larger than this is taken for damaged rather than extracted.
  static constexpr uint32_t kMaxDataSize = 32u << 20;

 private:
  Sk2Items items_;
  bool ready_ = false;
  std::string problem_;
};
