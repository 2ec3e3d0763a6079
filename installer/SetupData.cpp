#include "installer/SetupData.h"

#include "installer/BaseDef.h"

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
