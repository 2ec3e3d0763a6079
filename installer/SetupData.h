// The installer's embedded data: the staged configuration, the pack and its check.
#pragma once
#include <atomic>
#include <exception>
#include <memory>
#include <span>
#include <string>

#include "framework/Streams.h"
#include "installer/Platform.h"
#include "installer/SetupConfig.h"
#include "installer/WorkerStep.h"

inline constexpr const char* kConfigResource = "SETUPINI";
inline constexpr const char* kPackResource = "SETUPPACK";
inline constexpr const char* kLicenceResource = "Protocol";

// Writes the SETUPINI resource, still compressed and byte for byte, to path. An existing
// file is deleted first (a failed deletion is ignored; the creation then reports).
void WriteConfigResource(Platform& platform, const std::string& path);

// Reads a file written by WriteConfigResource into config. No file: nothing happens.
void LoadConfiguration(Platform& platform, const std::string& path, SetupConfig& config);

// Decompresses the SETUPPACK resource into a new memory stream, positioned at 0. The
// compressed bytes are read where the resource lies, so the only large buffer is the
// pack itself. byteSum, when given, receives the pack's byte sum, taken during the inflate.
std::unique_ptr<TMemoryStream> LoadPack(Platform& platform, uint32_t* byteSum = nullptr);

// Compares the pack's byte sum with PackChecksum; on a mismatch asks the user whether to
// go on. True when the check passed or the user chose Yes.
bool VerifyPack(Platform& platform, TMemoryStream& pack, const SetupConfig& config);
// The same with a sum LoadPack already took.
bool VerifyPackSum(Platform& platform, uint32_t byteSum, const SetupConfig& config);

// The pack's verification, started on a worker thread as the process starts so that the
// inflate overlaps building the form, and collected where the start-up needs the checksum.
// Without Start, Wait does the work itself. Destroying it (or Drop) abandons unfinished work
// within one buffer's worth of inflating.
class PackVerification {
 public:
  PackVerification() = default;
  ~PackVerification();
  PackVerification(const PackVerification&) = delete;
  PackVerification& operator=(const PackVerification&) = delete;

  // Starts the worker. The platform must answer Resource from another thread meanwhile.
  void Start(Platform& platform);
  // The pack's byte sum; raises what the verification raised (a missing resource, a
  // damaged stream) as if it had run here.
  uint32_t Wait(Platform& platform);
  // The compressed pack as embedded, once Wait has returned.
  std::span<const uint8_t> Resource() const { return resource_; }
  void Drop();

 private:
  void Run(Platform& platform);
  std::atomic<bool> cancel_{false};
  std::span<const uint8_t> resource_;
  uint32_t sum_ = 0;
  std::exception_ptr error_;
  WorkerStep step_;  // last, so it is joined before the members its step writes go
};

inline constexpr const char* kPackMismatchQuestion = "文件资源校核不完整,继续吗?";
