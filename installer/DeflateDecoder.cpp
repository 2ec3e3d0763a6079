#include "installer/DeflateDecoder.h"

#include <algorithm>
#include <cstring>

namespace {
// How far back a match may reach, and how much new output one Decode call makes at most.
constexpr size_t kWindow = 32768;
constexpr size_t kSpan = 256 * 1024;
constexpr unsigned kMaxMatch = 258;
// Room the fast loop keeps free at the end of the buffer: a whole match plus the bytes a
// copy by sixteen-byte words may write past its end.
constexpr unsigned kFastRoom = kMaxMatch + 32;
// The fast loop reads eight bytes at a time and never past the input's end.
constexpr size_t kFastInput = 16;

// A table entry: bits 0-7 the code's length (so that a shift by the entry's low bits drops
// the code), 8-11 its extra bits (for a subtable: the subtable's index bits), 12-14 its
// kind, 16-31 its value (a literal, a base, a subtable's offset).
enum Kind : uint32_t { kLiteral = 0, kBase = 1, kEndOfBlock = 2, kSubtable = 3, kInvalid = 4 };
constexpr uint32_t Entry(Kind kind, uint32_t value, unsigned extra, unsigned length) {
  return value << 16 | static_cast<uint32_t>(kind) << 12 | extra << 8 | length;
}
constexpr Kind KindOf(uint32_t e) { return static_cast<Kind>(e >> 12 & 7); }
constexpr unsigned LengthOf(uint32_t e) { return e & 63; }
constexpr unsigned ExtraOf(uint32_t e) { return e >> 8 & 15; }
constexpr uint32_t ValueOf(uint32_t e) { return e >> 16; }

constexpr unsigned kLitLenBits = 11, kDistBits = 8, kPrecodeBits = 7;
// Subtables: at most one per code longer than the root index, each of 2^(15 - root) entries.
constexpr size_t kLitLenSize = (1u << kLitLenBits) + 288 * (1u << (15 - kLitLenBits));
constexpr size_t kDistSize = (1u << kDistBits) + 32 * (1u << (15 - kDistBits));

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kPrecodeOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

enum class CodeKind { LitLen, Dist, Precode };

uint32_t SymbolEntry(CodeKind kind, unsigned sym, unsigned length) {
  switch (kind) {
    case CodeKind::Precode: return Entry(kLiteral, sym, 0, length);
    case CodeKind::Dist:
      if (sym < 30) return Entry(kBase, kDistBase[sym], kDistExtra[sym], length);
      return Entry(kInvalid, 0, 0, length);
    case CodeKind::LitLen:
      if (sym < 256) return Entry(kLiteral, sym, 0, length);
      if (sym == 256) return Entry(kEndOfBlock, 0, 0, length);
      if (sym < 286) return Entry(kBase, kLengthBase[sym - 257], kLengthExtra[sym - 257], length);
      return Entry(kInvalid, 0, 0, length);
  }
  return 0;
}

// Builds the lookup table of a canonical Huffman code from its code lengths. Refuses an
// over-subscribed code, and an incomplete one except a single code of one bit (the other
// one-bit pattern then decodes as invalid) for literals/lengths and distances. A code with
// no lengths at all decodes every one-bit pattern as invalid, or for the code-length code
// as a length of 0 (the way zlib reads it, which the stream then fails on later).
bool BuildTable(const uint8_t* lengths, unsigned count, CodeKind kind, unsigned root, uint32_t* table) {
  unsigned perLength[16] = {};
  for (unsigned s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  int left = 1;
  for (unsigned len = 1; len <= 15; ++len) {
    left = 2 * left - static_cast<int>(perLength[len]);
    if (left < 0) return false;
  }
  unsigned max = 15;
  while (max && !perLength[max]) --max;
  const unsigned size = 1u << root;
  const uint32_t none = kind == CodeKind::Precode && max == 0 ? Entry(kLiteral, 0, 0, 1) : Entry(kInvalid, 0, 0, 1);
  std::fill(table, table + size, none);
  if (max == 0) return true;
  if (left > 0 && (kind == CodeKind::Precode || max != 1)) return false;

  unsigned nextCode[16];
  unsigned code = 0;
  for (unsigned len = 1; len <= 15; ++len) {
    code = (code + perLength[len - 1]) << 1;
    nextCode[len] = code;
  }
  const unsigned subBits = max > root ? max - root : 0;
  unsigned nextSub = size;
  for (unsigned s = 0; s < count; ++s) {
    const unsigned len = lengths[s];
    if (!len) continue;
    unsigned c = nextCode[len]++, rev = 0;
    for (unsigned i = 0; i < len; ++i, c >>= 1) rev = rev << 1 | (c & 1);
    const uint32_t e = SymbolEntry(kind, s, len);
    if (len <= root) {
      for (unsigned i = rev; i < size; i += 1u << len) table[i] = e;
      continue;
    }
    uint32_t& head = table[rev & (size - 1)];
    if (KindOf(head) != kSubtable) {
      head = Entry(kSubtable, nextSub, subBits, root);
      nextSub += 1u << subBits;
    }
    uint32_t* sub = table + ValueOf(head);
    for (unsigned i = rev >> root; i < (1u << subBits); i += 1u << (len - root)) sub[i] = e;
  }
  return true;
}

struct FixedTables {
  uint32_t litLen[kLitLenSize];
  uint32_t dist[kDistSize];
  FixedTables() {
    uint8_t lengths[288];
    std::fill(lengths, lengths + 144, 8);
    std::fill(lengths + 144, lengths + 256, 9);
    std::fill(lengths + 256, lengths + 280, 7);
    std::fill(lengths + 280, lengths + 288, 8);
    BuildTable(lengths, 288, CodeKind::LitLen, kLitLenBits, litLen);
    std::fill(lengths, lengths + 32, 5);
    BuildTable(lengths, 32, CodeKind::Dist, kDistBits, dist);
  }
};

template <class Word>
Word LoadWord(const uint8_t* p) {
  Word v;
  std::memcpy(&v, p, sizeof v);
  return v;  // the targets are little-endian
}

const FixedTables& Fixed() {
  static const FixedTables fixed;
  return fixed;
}

}  // namespace

struct DeflateDecoder::Tables {
  uint32_t litLen[kLitLenSize];
  uint32_t dist[kDistSize];
  uint32_t precode[1u << kPrecodeBits];
  const uint32_t* useLitLen = nullptr;
  const uint32_t* useDist = nullptr;
};

DeflateDecoder::DeflateDecoder(std::span<const uint8_t> stream, bool narrowWords)
    : narrow_(narrowWords), in_(stream.data()), inEnd_(stream.data() + stream.size()), tables_(new Tables),
      buffer_(new uint8_t[kWindow + kSpan]) {
  history_ = end_ = buffer_.get() + kWindow;
}

DeflateDecoder::~DeflateDecoder() = default;

void DeflateDecoder::Refill() {
  if (inEnd_ - in_ >= 8) {
    bitBuf_ |= LoadWord<uint64_t>(in_) << bitsLeft_;
    in_ += (63 - bitsLeft_) >> 3;
    bitsLeft_ |= 56;
    return;
  }
  // Near the end: byte by byte, then zero bytes that Ran() tells apart from real input.
  while (bitsLeft_ < 56) {
    if (in_ < inEnd_) bitBuf_ |= static_cast<uint64_t>(*in_++) << bitsLeft_;
    else ++padBytes_;
    bitsLeft_ += 8;
  }
}

bool DeflateDecoder::Fail(State why) {
  state_ = why;
  return false;
}

bool DeflateDecoder::Take(unsigned n, uint32_t& v) {
  if (bitsLeft_ < n) Refill();
  v = Bits(n);
  Drop(n);
  return !Ran() || Fail(State::Truncated);
}

bool DeflateDecoder::ReadHeader() {
  uint32_t h;
  if (!Take(16, h)) return false;
  const uint32_t cmf = h & 0xFF, flg = h >> 8;
  if ((cmf << 8 | flg) % 31 != 0 || (cmf & 15) != 8 || (cmf >> 4) > 7) return Fail(State::Corrupt);
  // A preset dictionary, which these streams never use: refused once its id is there.
  if (flg & 0x20) return Take(32, h) && Fail(State::Corrupt);
  step_ = Step::Block;
  return true;
}

bool DeflateDecoder::ReadBlockHeader() {
  uint32_t h;
  if (!Take(3, h)) return false;
  finalBlock_ = h & 1;
  switch (h >> 1) {
    case 0: {
      Drop(bitsLeft_ & 7);
      if (!Take(32, h)) return false;
      if ((h & 0xFFFF) != (~h >> 16 & 0xFFFF)) return Fail(State::Corrupt);
      storedLeft_ = h & 0xFFFF;
      // The stored bytes are copied straight from the input: give back the whole bytes the
      // bit buffer has read ahead.
      in_ -= bitsLeft_ / 8 - padBytes_;
      bitBuf_ = 0;
      bitsLeft_ = padBytes_ = 0;
      step_ = Step::Stored;
      return true;
    }
    case 1:
      tables_->useLitLen = Fixed().litLen;
      tables_->useDist = Fixed().dist;
      step_ = Step::Huffman;
      return true;
    case 2:
      if (!ReadDynamicTables()) return false;
      tables_->useLitLen = tables_->litLen;
      tables_->useDist = tables_->dist;
      step_ = Step::Huffman;
      return true;
    default: return Fail(State::Corrupt);
  }
}

bool DeflateDecoder::ReadDynamicTables() {
  uint32_t h;
  if (!Take(14, h)) return false;
  const unsigned litLens = 257 + (h & 31), dists = 1 + (h >> 5 & 31), precodes = 4 + (h >> 10);
  if (litLens > 286 || dists > 30) return Fail(State::Corrupt);
  uint8_t lengths[286 + 30] = {};
  for (unsigned i = 0; i < precodes; ++i) {
    if (!Take(3, h)) return false;
    lengths[kPrecodeOrder[i]] = static_cast<uint8_t>(h);
  }
  if (!BuildTable(lengths, 19, CodeKind::Precode, kPrecodeBits, tables_->precode)) return Fail(State::Corrupt);
  std::fill(lengths, lengths + 19, 0);
  const unsigned total = litLens + dists;
  for (unsigned n = 0; n < total;) {
    Refill();
    const uint32_t e = tables_->precode[Bits(kPrecodeBits)];
    Drop(LengthOf(e));
    const unsigned sym = ValueOf(e);
    if (sym < 16) {
      if (Ran()) return Fail(State::Truncated);
      lengths[n++] = static_cast<uint8_t>(sym);
      continue;
    }
    const unsigned extra = sym == 16 ? 2 : sym == 17 ? 3 : 7;
    const unsigned repeat = (sym == 18 ? 11 : 3) + Bits(extra);
    Drop(extra);
    if (Ran()) return Fail(State::Truncated);
    if (sym == 16 && n == 0) return Fail(State::Corrupt);
    if (n + repeat > total) return Fail(State::Corrupt);
    const uint8_t value = sym == 16 ? lengths[n - 1] : 0;
    std::fill(lengths + n, lengths + n + repeat, value);
    n += repeat;
  }
  if (lengths[256] == 0) return Fail(State::Corrupt);  // no end-of-block code
  if (!BuildTable(lengths, litLens, CodeKind::LitLen, kLitLenBits, tables_->litLen) ||
      !BuildTable(lengths + litLens, dists, CodeKind::Dist, kDistBits, tables_->dist))
    return Fail(State::Corrupt);
  return true;
}

bool DeflateDecoder::ReadTrailer() {
  step_ = Step::Done;
  state_ = State::Ended;
  Drop(bitsLeft_ & 7);
  if (bitsLeft_ < 32) Refill();
  if (bitsLeft_ - 8 * padBytes_ < 32) return false;  // the input ends before the trailer
  const uint32_t t = Bits(32);
  trailer_ = (t & 0xFF) << 24 | (t & 0xFF00) << 8 | (t >> 8 & 0xFF00) | t >> 24;
  hasTrailer_ = true;
  Drop(32);
  return false;
}

bool DeflateDecoder::EndBlock() {
  if (finalBlock_) return ReadTrailer();
  step_ = Step::Block;
  return true;
}

bool DeflateDecoder::CopyStored(uint8_t*& out, uint8_t* limit) {
  const size_t n = std::min<size_t>({storedLeft_, static_cast<size_t>(inEnd_ - in_), static_cast<size_t>(limit - out)});
  std::memcpy(out, in_, n);
  out += n;
  in_ += n;
  storedLeft_ -= static_cast<uint32_t>(n);
  if (storedLeft_ == 0) return EndBlock();
  if (in_ == inEnd_) return Fail(State::Truncated);
  return false;  // the buffer is full
}

// The fast loop: symbols of the current Huffman block while at least kFastInput bytes of
// input and kFastRoom bytes of room are left, so that no symbol can meet the input's end or
// the buffer's, and those checks are skipped. The bit buffer is a machine word: 64 bits give
// at least 56 after a refill, enough for a whole match or two literals; 32 bits give 24, and
// a match refills twice more. Returns the entry it stopped at (end of block or an invalid
// code, not yet consumed), 0 when it stopped for room or input, or kCorruptStop.
constexpr uint32_t kCorruptStop = ~uint32_t{0};

template <class Word>
uint32_t DeflateDecoder::FastLoop(uint8_t*& outRef, uint8_t* limit) {
  constexpr unsigned kWordBits = sizeof(Word) * 8;
  const uint32_t* const litLen = tables_->useLitLen;
  const uint32_t* const dist = tables_->useDist;
  // Give back the whole bytes held, so that what is left fits any word.
  const uint8_t* in = in_ - bitsLeft_ / 8;
  unsigned left = bitsLeft_ & 7;
  Word bits = static_cast<Word>(bitBuf_) & ((Word{1} << left) - 1);
  uint8_t* out = outRef;
  const uint8_t* const inStop = inEnd_ - kFastInput;
  uint8_t* const outStop = limit - kFastRoom;
  // left counts the bits held in its low byte only: a code is dropped by subtracting its
  // whole table entry, whose low byte is the code's length, which saves masking the length
  // out on the path from one table lookup to the next.
  auto refill = [&] {
    bits |= LoadWord<Word>(in) << (left & (kWordBits - 1));
    in += (kWordBits - 1 - (left & (kWordBits - 1))) >> 3;
    left |= kWordBits - 8;
  };
  auto drop = [&](unsigned n) {
    bits >>= n;
    left -= n;
  };
  auto dropCode = [&](uint32_t e) {
    bits >>= e & (kWordBits - 1);
    left -= e;
  };
  uint32_t stop = 0;
  while (in <= inStop && out <= outStop) {
    refill();
    uint32_t e = litLen[bits & ((1u << kLitLenBits) - 1)];
    if (KindOf(e) == kSubtable) e = litLen[ValueOf(e) + (bits >> kLitLenBits & ((1u << ExtraOf(e)) - 1))];
    if (KindOf(e) == kLiteral) {
      dropCode(e);
      *out++ = static_cast<uint8_t>(ValueOf(e));
      if constexpr (kWordBits == 64) {
        // At least 41 bits are left: enough for two more literals without a refill.
        uint32_t next = litLen[bits & ((1u << kLitLenBits) - 1)];
        if (KindOf(next) == kLiteral) {
          dropCode(next);
          *out++ = static_cast<uint8_t>(ValueOf(next));
          next = litLen[bits & ((1u << kLitLenBits) - 1)];
          if (KindOf(next) == kLiteral) {
            dropCode(next);
            *out++ = static_cast<uint8_t>(ValueOf(next));
          }
        }
      }
      continue;
    }
    if (KindOf(e) != kBase) {  // end of block or an invalid code
      stop = e;
      break;
    }
    dropCode(e);
    const unsigned length = ValueOf(e) + static_cast<unsigned>(bits & ((1u << ExtraOf(e)) - 1));
    drop(ExtraOf(e));
    if constexpr (kWordBits == 32) refill();
    uint32_t d = dist[bits & ((1u << kDistBits) - 1)];
    if (KindOf(d) == kSubtable) d = dist[ValueOf(d) + (bits >> kDistBits & ((1u << ExtraOf(d)) - 1))];
    dropCode(d);
    if (KindOf(d) != kBase) {
      stop = kCorruptStop;
      break;
    }
    if constexpr (kWordBits == 32) refill();
    const size_t distance = ValueOf(d) + static_cast<size_t>(bits & ((1u << ExtraOf(d)) - 1));
    drop(ExtraOf(d));
    if (distance > static_cast<size_t>(out - history_)) {
      stop = kCorruptStop;
      break;
    }
    const uint8_t* src = out - distance;
    uint8_t* const end = out + length;
    if (distance >= 16) {
      do {
        std::memcpy(out, src, 16);
        out += 16;
        src += 16;
      } while (out < end);
    } else if (distance >= 8) {
      do {
        std::memcpy(out, src, 8);
        out += 8;
        src += 8;
      } while (out < end);
    } else if (distance == 1) {
      std::memset(out, *src, length);
    } else {
      do *out++ = *src++;
      while (out < end);
    }
    out = end;
  }
  bitBuf_ = bits;
  bitsLeft_ = left & 0xFF;
  in_ = in;
  outRef = out;
  return stop;
}

// Decodes symbols of the current Huffman block until its end (true), a full buffer or an
// error (false): the fast loop while it may run, the rest symbol by symbol with every check.
bool DeflateDecoder::DecodeHuffman(uint8_t*& out, uint8_t* limit) {
  const uint32_t* const litLen = tables_->useLitLen;
  const uint32_t* const dist = tables_->useDist;
  for (;;) {
    if (inEnd_ - in_ >= static_cast<ptrdiff_t>(kFastInput) && limit - out >= static_cast<ptrdiff_t>(kFastRoom)) {
      const uint32_t e = narrow_ ? FastLoop<uint32_t>(out, limit) : FastLoop<uint64_t>(out, limit);
      if (e == kCorruptStop) return Fail(State::Corrupt);
      if (KindOf(e) == kEndOfBlock) {
        Drop(LengthOf(e));
        return EndBlock();
      }
      if (KindOf(e) == kInvalid) return Fail(State::Corrupt);
      continue;
    }
    // One symbol at a time, with every check.
    if (limit - out < static_cast<ptrdiff_t>(kMaxMatch)) return false;  // the buffer is full
    Refill();
    uint32_t e = litLen[Bits(kLitLenBits)];
    if (KindOf(e) == kSubtable) e = litLen[ValueOf(e) + (bitBuf_ >> kLitLenBits & ((1u << ExtraOf(e)) - 1))];
    Drop(LengthOf(e));
    if (KindOf(e) != kBase) {
      if (Ran()) return Fail(State::Truncated);
      if (KindOf(e) == kLiteral) {
        *out++ = static_cast<uint8_t>(ValueOf(e));
        continue;
      }
      if (KindOf(e) == kInvalid) return Fail(State::Corrupt);
      return EndBlock();
    }
    const unsigned length = ValueOf(e) + Bits(ExtraOf(e));
    Drop(ExtraOf(e));
    uint32_t d = dist[Bits(kDistBits)];
    if (KindOf(d) == kSubtable) d = dist[ValueOf(d) + (bitBuf_ >> kDistBits & ((1u << ExtraOf(d)) - 1))];
    Drop(LengthOf(d));
    if (KindOf(d) != kBase) return Fail(Ran() ? State::Truncated : State::Corrupt);
    const size_t distance = ValueOf(d) + Bits(ExtraOf(d));
    Drop(ExtraOf(d));
    if (Ran()) return Fail(State::Truncated);
    if (distance > static_cast<size_t>(out - history_)) return Fail(State::Corrupt);
    for (unsigned i = 0; i < length; ++i, ++out) *out = out[-static_cast<ptrdiff_t>(distance)];
  }
}

std::span<const uint8_t> DeflateDecoder::Decode() {
  if (state_ != State::Running) return {};
  uint8_t* const window = buffer_.get() + kWindow;
  if (end_ > window) {
    // Keep the last window of output in front of the new span, where matches can reach it.
    const size_t keep = std::min<size_t>(end_ - history_, kWindow);
    std::memmove(window - keep, end_ - keep, keep);
    history_ = window - keep;
    end_ = window;
  }
  uint8_t* out = end_;
  uint8_t* const limit = window + kSpan;
  for (bool more = true; more;) {
    switch (step_) {
      case Step::Header: more = ReadHeader(); break;
      case Step::Block: more = ReadBlockHeader(); break;
      case Step::Huffman: more = DecodeHuffman(out, limit); break;
      case Step::Stored: more = CopyStored(out, limit); break;
      case Step::Done: more = false; break;
    }
  }
  std::span<const uint8_t> made(end_, static_cast<size_t>(out - end_));
  end_ = out;
  return made;
}
