#include "installer/PeResources.h"

#include <vector>

namespace {

struct Reader {
  std::span<const uint8_t> img;
  bool ok = true;
  uint32_t U16(uint64_t off) {
    if (off + 2 > img.size()) return ok = false, 0;
    return static_cast<uint32_t>(img[off]) | static_cast<uint32_t>(img[off + 1]) << 8;
  }
  uint32_t U32(uint64_t off) {
    if (off + 4 > img.size()) return ok = false, 0;
    return U16(off) | U16(off + 2) << 16;
  }
};

struct Section {
  uint32_t va, vsize, raw, rawSize;
};

constexpr uint32_t kRtRcData = 10;
constexpr int kMaxEntries = 4096;

}  // namespace

PeRcData ReadPeRcData(std::span<const uint8_t> image) {
  PeRcData out;
  Reader r{image};
  auto fail = [&](const char* why) {
    out.byName.clear();
    out.error = why;
    return out;
  };
  if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z') return fail("not a Windows executable (no MZ header)");
  uint64_t pe = r.U32(0x3C);
  if (r.U32(pe) != 0x00004550 || !r.ok) return fail("not a PE image");
  uint64_t coff = pe + 4;
  uint32_t sections = r.U16(coff + 2);
  uint32_t optSize = r.U16(coff + 16);
  uint64_t opt = coff + 20;
  uint32_t magic = r.U16(opt);
  uint64_t dirs = magic == 0x10B ? opt + 96 : magic == 0x20B ? opt + 112 : 0;
  if (!dirs || !r.ok) return fail("unknown optional header");
  uint32_t dirCount = r.U32(dirs - 4);
  if (dirCount < 3 || dirs + 3 * 8 > opt + optSize) return fail("no resource directory");
  uint32_t rsrcRva = r.U32(dirs + 2 * 8);
  if (!r.ok || rsrcRva == 0) return fail("no resource directory");

  std::vector<Section> secs;
  uint64_t st = opt + optSize;
  for (uint32_t i = 0; i < sections && i < 96; ++i) {
    uint64_t s = st + 40ull * i;
    secs.push_back({r.U32(s + 12), r.U32(s + 8), r.U32(s + 20), r.U32(s + 16)});
  }
  if (!r.ok) return fail("section table runs past the end");
  // Maps an RVA to a file offset, with `need` bytes available in the section's raw data.
  auto fileOff = [&](uint64_t rva, uint64_t need, uint64_t& off) {
    for (const auto& s : secs) {
      uint64_t span = s.rawSize;
      if (rva >= s.va && rva - s.va + need <= span) {
        off = s.raw + (rva - s.va);
        return off + need <= image.size();
      }
    }
    return false;
  };
  uint64_t root;
  if (!fileOff(rsrcRva, 16, root)) return fail("resource directory outside the image");
  uint64_t rootRva = rsrcRva;
  auto dirOff = [&](uint32_t rel, uint64_t& off) { return fileOff(rootRva + rel, 16, off); };
  auto entries = [&](uint64_t dir) { return std::min<uint32_t>(r.U16(dir + 12) + r.U16(dir + 14), kMaxEntries); };

  // Level 1: types; only RT_RCDATA (an ID entry) matters.
  for (uint32_t i = 0, n = entries(root); i < n && r.ok; ++i) {
    uint64_t e = root + 16 + 8ull * i;
    uint32_t id = r.U32(e), target = r.U32(e + 4);
    if ((id & 0x80000000u) || id != kRtRcData || !(target & 0x80000000u)) continue;
    uint64_t names;
    if (!dirOff(target & 0x7FFFFFFF, names)) return fail("bad resource type directory");
    // Level 2: names.
    for (uint32_t j = 0, m = entries(names); j < m && r.ok; ++j) {
      uint64_t ne = names + 16 + 8ull * j;
      uint32_t nameField = r.U32(ne), langDir = r.U32(ne + 4);
      std::string name;
      if (nameField & 0x80000000u) {
        uint64_t so;
        if (!fileOff(rootRva + (nameField & 0x7FFFFFFF), 2, so)) return fail("bad resource name");
        uint32_t len = r.U16(so);
        if (!fileOff(rootRva + (nameField & 0x7FFFFFFF), 2 + 2ull * len, so)) return fail("bad resource name");
        for (uint32_t k = 0; k < len; ++k) {
          uint32_t ch = r.U16(so + 2 + 2ull * k);
          if (ch >= 'a' && ch <= 'z') ch -= 32;
          name += ch < 0x80 ? static_cast<char>(ch) : '?';
        }
      } else {
        name = "#" + std::to_string(nameField & 0xFFFF);
      }
      if (!(langDir & 0x80000000u)) continue;
      uint64_t langs;
      if (!dirOff(langDir & 0x7FFFFFFF, langs) || entries(langs) == 0) return fail("bad resource language directory");
      // Level 3: the first language's data entry.
      uint32_t data = r.U32(langs + 16 + 4);
      if (data & 0x80000000u) return fail("resource tree deeper than three levels");
      uint64_t de;
      if (!fileOff(rootRva + data, 16, de)) return fail("bad resource data entry");
      uint32_t rva = r.U32(de), size = r.U32(de + 4);
      uint64_t bytes;
      if (!fileOff(rva, size, bytes)) return fail("resource data outside the image");
      out.byName.emplace(name, image.subspan(bytes, size));
    }
  }
  if (!r.ok) return fail("resource directory runs past the end");
  return out;
}
