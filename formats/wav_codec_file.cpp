#include "formats/wav_codec_file.h"

#include <algorithm>

#include "formats/byte_source.h"
#include "formats/wave_format.h"
#include "sys/file.h"
#include "sys/folders.h"

std::optional<std::vector<uint8_t>> readWavCodecFile(const std::string& dataFolder) {
  if (dataFolder.empty()) return std::nullopt;
  auto bytes = openFileBytes(sys::joinPath(dataFolder, kWavCodecFileName));
  std::vector<uint8_t> block(kWavCodecFileBytes);
  if (!bytes || !bytes->readExact(block.data(), block.size())) return std::nullopt;
  const size_t recordBytes = wave_record::kFullBytes + le16(&block[wave_record::kExtraBytes]);
  if (recordBytes > kWavCodecFileBytes || le16(&block[wave_record::kChannels]) == 0) return std::nullopt;
  block.resize(recordBytes);
  return block;
}

bool writeWavCodecFile(const std::string& dataFolder, const std::vector<uint8_t>& record) {
  if (record.size() < wave_record::kFullBytes || record.size() > kWavCodecFileBytes) return false;
  std::vector<uint8_t> block(kWavCodecFileBytes, 0);
  std::copy(record.begin(), record.end(), block.begin());
  sys::File file = sys::File::open(sys::joinPath(dataFolder, kWavCodecFileName), sys::Access::ReadWrite,
                                   sys::Share::None, sys::Disposition::CreateAlways);
  return file.isOpen() && file.write(block.data(), block.size()) == block.size();
}
