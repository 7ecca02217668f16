#include "formats/wav_codec_file.h"

#include <algorithm>

#include "formats/byte_source.h"
#include "sys/file.h"
#include "sys/folders.h"

std::optional<std::vector<uint8_t>> readWavCodecFile(const std::string& dataFolder) {
  if (dataFolder.empty()) return std::nullopt;
  auto bytes = openFileBytes(sys::joinPath(dataFolder, kWavCodecFileName));
  std::vector<uint8_t> block(kWavCodecFileBytes);
  if (!bytes || !bytes->readExact(block.data(), block.size())) return std::nullopt;
  size_t extra = le16(&block[16]);
  if (18 + extra > kWavCodecFileBytes || le16(&block[2]) == 0) return std::nullopt;
  block.resize(18 + extra);
  return block;
}

bool writeWavCodecFile(const std::string& dataFolder, const std::vector<uint8_t>& record) {
  if (record.size() < 18 || record.size() > kWavCodecFileBytes) return false;
  std::vector<uint8_t> block(kWavCodecFileBytes, 0);
  std::copy(record.begin(), record.end(), block.begin());
  sys::File file = sys::File::open(sys::joinPath(dataFolder, kWavCodecFileName), sys::Access::ReadWrite,
                                   sys::Share::None, sys::Disposition::CreateAlways);
  return file.isOpen() && file.write(block.data(), block.size()) == block.size();
}
