#include "installer/SetupData.h"

#include "installer/BaseDef.h"

#include <system_error>

void WriteConfigResource(Platform& platform, const std::string& path) {
  std::span<const uint8_t> res = platform.Resource(kConfigResource);
  if (platform.FileExists(path)) platform.RemoveFile(path);
  platform.WriteNewFile(path, res);
}

void LoadConfiguration(Platform& platform, const std::string& path, SetupConfig& config) {
  if (!platform.FileExists(path)) return;
  Bytes staged = platform.ReadWholeFile(path);
  Bytes data = DecompressResource(staged.view());
  config.Load(data.view());
}

std::unique_ptr<TMemoryStream> LoadPack(Platform& platform, uint32_t* byteSum) {
  auto pack = std::make_unique<TMemoryStream>();
  pack->Adopt(DecompressResource(platform.Resource(kPackResource), byteSum));
  return pack;
}

bool VerifyPack(Platform& platform, TMemoryStream& pack, const SetupConfig& config) {
  return VerifyPackSum(platform, PackByteSum({pack.Memory(), static_cast<size_t>(pack.Size())}), config);
}

bool VerifyPackSum(Platform& platform, uint32_t byteSum, const SetupConfig& config) {
  if (byteSum == config.Record().PackChecksum.GetU()) return true;
  return platform.Confirm(kPackMismatchQuestion);
}

PackVerification::~PackVerification() { Drop(); }

void PackVerification::Run(Platform& platform) {
  try {
    resource_ = platform.Resource(kPackResource);
    sum_ = PackResourceSum(resource_, &cancel_);
  } catch (...) {
    error_ = std::current_exception();
  }
}

void PackVerification::Start(Platform& platform) {
  step_.Start([this, &platform] { Run(platform); });
}

uint32_t PackVerification::Wait(Platform& platform) {
  step_.Collect([this, &platform] { Run(platform); });
  if (error_) std::rethrow_exception(error_);
  return sum_;
}

void PackVerification::Drop() {
  cancel_ = true;
  step_.Join();
}
