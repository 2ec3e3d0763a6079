// What PackInflater must make of any CompressedResource, taken from zlib's inflate run over
// the whole stream in one go, and a check of PackInflater and the functions built on it
// against that. Shared by the fuzz target and the host tests.
#pragma once
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "framework/Exceptions.h"
#include "installer/BaseDef.h"

namespace inflate_oracle {

enum class Outcome { Ok, ReadError, DecompressionError, Other };

inline const char* Name(Outcome o) {
  switch (o) {
    case Outcome::Ok: return "ok";
    case Outcome::ReadError: return "EReadError";
    case Outcome::DecompressionError: return "EDecompressionError";
    default: return "another exception";
  }
}

struct Expected {
  bool refused = false;        // the constructor throws EReadError
  uint64_t size = 0;           // U
  Outcome outcome = Outcome::Ok;
  std::vector<uint8_t> bytes;  // what is produced before the outcome: U bytes on success
  int rc = Z_OK;               // zlib's last answer and message, for reports
  std::string msg;
};

// zlib inflates everything after the size into exactly U bytes, window 15, check value on.
// An error zlib meets only after the U-th byte lies in surplus that is never read, except a
// wrong check value of a stream that ends exactly at U.
inline Expected Reference(std::span<const uint8_t> resource) {
  Expected e;
  e.outcome = Outcome::ReadError;
  e.refused = true;
  if (resource.size() < 4) return e;
  uint32_t raw = 0;
  for (int i = 0; i < 4; ++i) raw |= static_cast<uint32_t>(resource[i]) << (8 * i);
  const int32_t declared = static_cast<int32_t>(raw);
  if (declared < 0 || static_cast<uint64_t>(declared) > (resource.size() - 4) * kMaxInflateRatio) return e;
  e.refused = false;
  e.size = static_cast<uint64_t>(declared);
  e.outcome = Outcome::Ok;
  if (!declared) return e;
  e.bytes.resize(e.size);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) std::abort();
  z.next_in = const_cast<Bytef*>(resource.data() + 4);
  z.avail_in = static_cast<uInt>(resource.size() - 4);
  z.next_out = e.bytes.data();
  z.avail_out = static_cast<uInt>(e.size);
  bool progress = true;
  while (progress) {
    const uInt in = z.avail_in, out = z.avail_out;
    e.rc = inflate(&z, Z_NO_FLUSH);
    progress = e.rc == Z_OK && (z.avail_in != in || z.avail_out != out);
  }
  if (z.msg) e.msg = z.msg;
  inflateEnd(&z);
  const bool full = z.avail_out == 0;
  e.bytes.resize(e.size - z.avail_out);
  if (e.rc == Z_STREAM_END)
    e.outcome = full ? Outcome::Ok : Outcome::ReadError;
  else if (e.rc == Z_DATA_ERROR || e.rc == Z_NEED_DICT)
    e.outcome = !full || e.msg == "incorrect data check" ? Outcome::DecompressionError : Outcome::Ok;
  else
    e.outcome = full ? Outcome::Ok : Outcome::ReadError;
  return e;
}

template <class F>
Outcome Run(F&& f) {
  try {
    f();
    return Outcome::Ok;
  } catch (const EDecompressionError&) {
    return Outcome::DecompressionError;
  } catch (const EReadError&) {
    return Outcome::ReadError;
  } catch (...) {
    return Outcome::Other;
  }
}

// Compares the PackInflater's outcome, Produced() and bytes (those in known[], where given)
// with e; ByteSum() too on success. Appends a description of each difference to report.
inline void Compare(const char* how, const Expected& e, Outcome got, const PackInflater& inflater,
                    const std::vector<uint8_t>& out, const std::vector<bool>* known, std::string& report) {
  std::string d;
  if (got != e.outcome) d += std::string(" outcome ") + Name(got) + " (expected " + Name(e.outcome) + ")";
  if (inflater.Produced() != e.bytes.size())
    d += " produced " + std::to_string(inflater.Produced()) + " (expected " + std::to_string(e.bytes.size()) + ")";
  const size_t n = std::min<size_t>(e.bytes.size(), static_cast<size_t>(inflater.Produced()));
  for (size_t i = known || (n && std::memcmp(out.data(), e.bytes.data(), n)) ? 0 : n; i < n; ++i)
    if ((!known || (*known)[i]) && out[i] != e.bytes[i]) {
      d += " first wrong byte at " + std::to_string(i);
      break;
    }
  if (got == Outcome::Ok && e.outcome == Outcome::Ok && inflater.ByteSum() != PackByteSum(e.bytes))
    d += " wrong ByteSum";
  if (!d.empty()) report += std::string(how) + ":" + d + "\n";
}

// Checks PackInflater (one Read of all U bytes; Reads and Skips of sizes drawn from seed),
// DecompressResource and PackResourceSum against the reference. Empty when all agree, else
// one line per difference, ending with zlib's last answer.
inline std::string Check(std::span<const uint8_t> resource, uint64_t seed) {
  const Expected e = Reference(resource);
  std::string report;
  std::optional<PackInflater> inflater;
  const Outcome made = Run([&] { inflater.emplace(resource); });
  if (made != (e.refused ? Outcome::ReadError : Outcome::Ok))
    report += std::string("constructor: ") + Name(made) + (e.refused ? " (expected EReadError)\n" : " (expected none)\n");
  else if (e.refused)
    return report;
  if (!inflater) return report + "zlib: " + std::to_string(e.rc) + " " + e.msg + "\n";
  if (inflater->Size() != e.size) return report + "Size() differs from U\n";

  std::vector<uint8_t> out(e.size);
  Outcome got = Run([&] { inflater->Read(out); });
  Compare("one read", e, got, *inflater, out, nullptr, report);
  if (got == Outcome::Ok) {
    uint8_t extra[1];
    if (Run([&] { inflater->Read(extra); }) != Outcome::ReadError || inflater->Produced() != e.size)
      report += "reading past U: not an EReadError, or bytes produced\n";
  }

  // The same in pieces: single bytes, small and large reads, skips, and empty reads.
  PackInflater pieces(resource);
  std::fill(out.begin(), out.end(), 0);
  std::vector<bool> known(e.size, true);
  got = Outcome::Ok;
  while (got == Outcome::Ok && pieces.Produced() < e.size) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const uint32_t r = static_cast<uint32_t>(seed >> 33);
    const uint64_t at = pieces.Produced(), left = e.size - at;
    uint64_t n = std::min<uint64_t>(left, r % 8 < 2 ? 1 + (r >> 3) % 16 : r % 8 < 5 ? 1 + (r >> 3) % 4096
                                                                       : r % 8 < 7 ? 1 + (r >> 3) % 70000 : left);
    if (r % 13 == 0) n = 0;
    if (r % 5 == 0) {
      std::fill(known.begin() + at, known.begin() + at + n, false);
      got = Run([&] { pieces.Skip(n); });
    } else {
      got = Run([&] { pieces.Read(std::span(out).subspan(at, n)); });
    }
    if (got == Outcome::Ok && pieces.Produced() != at + n) {
      report += "a piece did not advance Produced() by its size\n";
      break;
    }
  }
  Compare("pieces", e, got, pieces, out, &known, report);

  uint32_t sum = 0;
  bool same = true;
  got = Run([&] {
    Bytes whole = DecompressResource(resource, &sum);
    same = whole.size() == e.bytes.size() && std::equal(e.bytes.begin(), e.bytes.end(), whole.data());
  });
  if (got != e.outcome) report += std::string("DecompressResource: ") + Name(got) + "\n";
  else if (got == Outcome::Ok && (!same || sum != PackByteSum(e.bytes))) report += "DecompressResource: wrong bytes or sum\n";
  got = Run([&] { sum = PackResourceSum(resource); });
  if (got != e.outcome) report += std::string("PackResourceSum: ") + Name(got) + "\n";
  else if (got == Outcome::Ok && sum != PackByteSum(e.bytes)) report += "PackResourceSum: wrong sum\n";

  // 32-bit builds decode with a narrow bit buffer: the whole stream (up to 1 MiB of output)
  // decodes the same that way as with the native one.
  DeflateDecoder wide(resource.subspan(4), false), narrow(resource.subspan(4), true);
  std::vector<uint8_t> wideOut, narrowOut;
  for (std::span<const uint8_t> w, n; wideOut.size() < (1u << 20);) {
    w = wide.Decode(), n = narrow.Decode();
    wideOut.insert(wideOut.end(), w.begin(), w.end());
    narrowOut.insert(narrowOut.end(), n.begin(), n.end());
    if (w.empty() && n.empty()) break;
  }
  if (wideOut != narrowOut || wide.state() != narrow.state() || wide.HasTrailer() != narrow.HasTrailer() ||
      wide.Trailer() != narrow.Trailer())
    report += "narrow bit buffer: output or end differs from the native one\n";

  if (!report.empty())
    report += "zlib: rc " + std::to_string(e.rc) + " \"" + e.msg + "\", U " + std::to_string(e.size) + ", P " +
              std::to_string(e.bytes.size()) + ", expected " + Name(e.outcome) + "\n";
  return report;
}

struct DeflateParams {
  int level = 6, strategy = Z_DEFAULT_STRATEGY, windowBits = 15, memLevel = 8;
  std::vector<std::pair<size_t, int>> flushes;  // (offset into the data, flush kind), ascending
  std::span<const uint8_t> dictionary;          // a preset dictionary: the stream asks for it
};

// A CompressedResource of data (U = its size) made by zlib's deflate; at each flush point
// the data so far is flushed with that kind (Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_PARTIAL_FLUSH or
// Z_BLOCK: empty stored or fixed blocks, block boundaries).
inline std::vector<uint8_t> Deflate(std::span<const uint8_t> data, const DeflateParams& p) {
  z_stream z{};
  if (deflateInit2(&z, p.level, Z_DEFLATED, p.windowBits, p.memLevel, p.strategy) != Z_OK) std::abort();
  if (!p.dictionary.empty()) deflateSetDictionary(&z, p.dictionary.data(), static_cast<uInt>(p.dictionary.size()));
  std::vector<uint8_t> res(4 + deflateBound(&z, static_cast<uLong>(data.size())) + 8 * p.flushes.size() + 64);
  for (int i = 0; i < 4; ++i) res[i] = static_cast<uint8_t>(data.size() >> (8 * i));
  size_t done = 0, used = 4;
  auto run = [&](size_t end, int flush) {
    z.next_in = const_cast<Bytef*>(data.data() + done);
    z.avail_in = static_cast<uInt>(end - done);
    done = end;
    for (bool more = true; more;) {
      if (used == res.size()) res.resize(2 * used);
      z.next_out = res.data() + used;
      z.avail_out = static_cast<uInt>(res.size() - used);
      const int rc = deflate(&z, flush);
      used = res.size() - z.avail_out;
      more = z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END);
    }
  };
  for (const auto& [at, flush] : p.flushes) run(std::clamp(at, done, data.size()), flush);
  run(data.size(), Z_FINISH);
  deflateEnd(&z);
  res.resize(used);
  return res;
}

}  // namespace inflate_oracle
