// A decoder of zlib streams (RFC 1950 around RFC 1951 Deflate data) held whole in memory,
// producing its output a window at a time into a buffer of its own, so that a stream of any
// size decodes in a fixed ~330 KiB. Built for speed on the hot path of the installer: table
// lookups that resolve most codes at once, a 64-bit bit buffer refilled eight bytes at a
// time, and matches copied a word at a time.
//
// It takes every stream zlib's inflate takes and refuses every stream zlib refuses, with the
// same division into "input ran out" (Truncated) and "bad data" (Corrupt), and the same
// output before either; the check value is left to the caller (Trailer()).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class DeflateDecoder {
 public:
  enum class State {
    Running,    // more output may follow
    Ended,      // the final block's end was decoded; Trailer() tells whether the trailer followed
    Truncated,  // the input ran out in the middle of the stream
    Corrupt,    // the data is not a valid zlib stream at this point
  };

  // narrowWords: decode with a 32-bit bit buffer, as 32-bit builds do, whatever the build.
  explicit DeflateDecoder(std::span<const uint8_t> stream, bool narrowWords = sizeof(void*) < 8);
  ~DeflateDecoder();
  DeflateDecoder(const DeflateDecoder&) = delete;
  DeflateDecoder& operator=(const DeflateDecoder&) = delete;

  // Decodes the next stretch of output: at least one byte while Running, none once the
  // state has left Running. The bytes stay valid until the next call.
  std::span<const uint8_t> Decode();
  State state() const { return state_; }
  // Once Ended: whether the four trailer bytes were there, and their value (most
  // significant byte first, as the stream stores its Adler-32 check value).
  bool HasTrailer() const { return hasTrailer_; }
  uint32_t Trailer() const { return trailer_; }

 private:
  struct Tables;
  enum class Step { Header, Block, Huffman, Stored, Done };

  void Refill();
  bool Ran() const { return bitsLeft_ < 8 * padBytes_; }  // consumed bits the input lacked
  uint32_t Bits(unsigned n) const { return static_cast<uint32_t>(bitBuf_ & ((uint64_t{1} << n) - 1)); }
  void Drop(unsigned n) {
    bitBuf_ >>= n;
    bitsLeft_ -= n;
  }
  bool Fail(State why);  // sets the state; false
  // Takes n bits (n <= 32) into v; false (Truncated) when the input lacks them.
  bool Take(unsigned n, uint32_t& v);
  bool ReadHeader();
  bool ReadBlockHeader();
  bool ReadDynamicTables();
  bool ReadTrailer();
  // The current block is done: on to the next one's header, or to the trailer.
  bool EndBlock();
  bool CopyStored(uint8_t*& out, uint8_t* limit);
  bool DecodeHuffman(uint8_t*& out, uint8_t* limit);
  template <class Word>
  uint32_t FastLoop(uint8_t*& out, uint8_t* limit);

  const bool narrow_;
  const uint8_t* in_;
  const uint8_t* inEnd_;
  uint64_t bitBuf_ = 0;
  unsigned bitsLeft_ = 0;
  unsigned padBytes_ = 0;  // zero bytes fed in after the input's end, not yet proven unused
  State state_ = State::Running;
  Step step_ = Step::Header;
  bool finalBlock_ = false;
  uint32_t storedLeft_ = 0;
  bool hasTrailer_ = false;
  uint32_t trailer_ = 0;
  std::unique_ptr<Tables> tables_;
  std::unique_ptr<uint8_t[]> buffer_;
  uint8_t* history_;  // the oldest byte of output still held: matches may reach back to it
  uint8_t* end_;      // where output goes next
};
