#include "formats/wave_format.h"

#include <algorithm>
#include <cstring>

#include "formats/riff_chunks.h"

namespace {

constexpr uint32_t kMinFmtBytes = wave_record::kFixedBytes;
constexpr uint32_t kMaxFmtBytes = 8192;

bool findRiffWave(ByteSource& bytes) {
  uint8_t head[12];
  if (!bytes.readExact(head, 12)) return false;
  // Other top-level chunks may come first; each is skipped whole.
  while (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
    uint32_t size = le32(head + 4);
    uint64_t even = static_cast<uint64_t>(size) + (size & 1);
    if (even < 5) return false;
    if (!bytes.skip(static_cast<int64_t>(even) - 4) || bytes.tell() > bytes.size()) return false;
    if (!bytes.readExact(head, 12)) return false;
  }
  return true;
}

}  // namespace

uint16_t WaveFormat::effectiveTag() const {
  if (tag == kWaveFormatExtensible && record.size() >= wave_record::kSubFormat + 2)
    return le16(record.data() + wave_record::kSubFormat);
  return tag;
}

void WaveFormat::loadFields(const uint8_t* fields) {
  tag = le16(fields + wave_record::kTag);
  channels = le16(fields + wave_record::kChannels);
  sampleRate = le32(fields + wave_record::kSampleRate);
  averageBytesPerSecond = le32(fields + wave_record::kAverageBytesPerSecond);
  blockAlign = le16(fields + wave_record::kBlockAlign);
  bitsPerSample = le16(fields + wave_record::kBitsPerSample);
}

void WaveFormat::storeFields(uint8_t* fields) const {
  storeLe16(fields + wave_record::kTag, tag);
  storeLe16(fields + wave_record::kChannels, channels);
  storeLe32(fields + wave_record::kSampleRate, sampleRate);
  storeLe32(fields + wave_record::kAverageBytesPerSecond, averageBytesPerSecond);
  storeLe16(fields + wave_record::kBlockAlign, blockAlign);
  storeLe16(fields + wave_record::kBitsPerSample, bitsPerSample);
}

std::vector<uint8_t> pcmWaveRecord(int channels, int32_t sampleRate, int bitsPerSample, size_t recordBytes) {
  WaveFormat format;
  format.tag = kWaveFormatPcm;
  format.channels = static_cast<uint16_t>(channels);
  format.sampleRate = static_cast<uint32_t>(sampleRate);
  format.blockAlign = static_cast<uint16_t>(channels * ((bitsPerSample + 7) / 8));
  format.averageBytesPerSecond = static_cast<uint32_t>(format.blockAlign) * format.sampleRate;
  format.bitsPerSample = static_cast<uint16_t>(bitsPerSample);
  std::vector<uint8_t> record(std::max(recordBytes, wave_record::kFixedBytes), 0);
  format.storeFields(record.data());
  return record;
}

std::vector<uint8_t> waveFileHeader(const std::vector<uint8_t>& record, uint32_t dataBytes) {
  const size_t headerBytes = waveFileHeaderBytes(record.size());
  const auto riffBytes = std::min<uint64_t>(uint64_t{dataBytes} + headerBytes - 8, 0xFFFFFFFFu);
  std::vector<uint8_t> header(headerBytes);
  uint8_t* p = header.data();
  std::memcpy(p, "RIFF", 4);
  storeLe32(p + 4, static_cast<uint32_t>(riffBytes));
  std::memcpy(p + 8, "WAVEfmt ", 8);
  storeLe32(p + 16, static_cast<uint32_t>(record.size()));
  std::copy(record.begin(), record.end(), p + 20);
  p += 20 + record.size();
  std::memcpy(p, "data", 4);
  storeLe32(p + 4, dataBytes);
  return header;
}

SourceStatus parseWaveLayout(ByteSource& bytes, WaveLayout& layout) {
  if (!findRiffWave(bytes)) return SourceStatus::Corrupt;
  ChunkHeader chunk;
  if (!findChunk(bytes, ByteOrder::Little, "fmt ", chunk)) return SourceStatus::Corrupt;
  if (chunk.size < kMinFmtBytes || chunk.size > kMaxFmtBytes) return SourceStatus::Corrupt;
  std::vector<uint8_t> body(chunk.size);
  if (!bytes.readExact(body.data(), body.size())) return SourceStatus::Corrupt;
  WaveFormat& format = layout.format;
  format.loadFields(body.data());
  using wave_record::kFullBytes;
  const bool full = chunk.size >= kFullBytes;
  uint16_t extraBytes = full ? le16(&body[wave_record::kExtraBytes]) : 0;
  // An extra-bytes count larger than the chunk is cut to what is there.
  extraBytes = static_cast<uint16_t>(std::min<uint32_t>(extraBytes, full ? chunk.size - kFullBytes : 0));
  format.record.assign(body.begin(), body.begin() + wave_record::kFixedBytes);
  format.record.resize(kFullBytes + extraBytes);
  storeLe16(&format.record[wave_record::kExtraBytes], extraBytes);
  if (extraBytes) std::copy_n(body.begin() + kFullBytes, extraBytes, format.record.begin() + kFullBytes);
  if (!skipChunk(bytes, chunk)) return SourceStatus::Corrupt;

  for (;;) {
    if (!readChunkHeader(bytes, ByteOrder::Little, chunk)) return SourceStatus::Corrupt;
    if (chunk.is("data")) break;
    uint8_t count[4];
    if (chunk.is("fact") && chunk.size >= 4 && bytes.readExact(count, 4)) layout.factFrames = le32(count);
    if (!skipChunk(bytes, chunk)) return SourceStatus::Corrupt;
  }
  layout.dataStart = chunk.bodyStart;
  layout.dataBytes = chunk.size;
  if (format.channels < 1 || format.channels > 255) return SourceStatus::Corrupt;
  if (format.sampleRate < 1 || format.sampleRate > static_cast<uint32_t>(kMaxWaveRate)) return SourceStatus::Corrupt;
  return SourceStatus::Good;
}
