#include "formats/wave_format.h"

#include <algorithm>

#include "formats/riff_chunks.h"

namespace {

constexpr uint32_t kMinFmtBytes = 16;
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
  // An extensible record names its real format in the first two bytes of its
  // subformat identifier, at offset 24 of the record.
  if (tag == kWaveFormatExtensible && record.size() >= 26) return le16(record.data() + 24);
  return tag;
}

SourceStatus parseWaveLayout(ByteSource& bytes, WaveLayout& layout) {
  if (!findRiffWave(bytes)) return SourceStatus::Corrupt;
  ChunkHeader chunk;
  if (!findChunk(bytes, ByteOrder::Little, "fmt ", chunk)) return SourceStatus::Corrupt;
  if (chunk.size < kMinFmtBytes || chunk.size > kMaxFmtBytes) return SourceStatus::Corrupt;
  std::vector<uint8_t> body(chunk.size);
  if (!bytes.readExact(body.data(), body.size())) return SourceStatus::Corrupt;
  WaveFormat& format = layout.format;
  format.tag = le16(&body[0]);
  format.channels = le16(&body[2]);
  format.sampleRate = le32(&body[4]);
  format.averageBytesPerSecond = le32(&body[8]);
  format.blockAlign = le16(&body[12]);
  format.bitsPerSample = le16(&body[14]);
  uint16_t extraBytes = chunk.size >= 18 ? le16(&body[16]) : 0;
  // An extra-bytes count larger than the chunk is cut to what is there.
  extraBytes = static_cast<uint16_t>(std::min<uint32_t>(extraBytes, chunk.size >= 18 ? chunk.size - 18 : 0));
  format.record.assign(body.begin(), body.begin() + std::min<size_t>(body.size(), 16));
  format.record.resize(18 + extraBytes);
  storeLe16(&format.record[16], extraBytes);
  if (extraBytes) std::copy_n(body.begin() + 18, extraBytes, format.record.begin() + 18);
  if (!skipChunk(bytes, chunk)) return SourceStatus::Corrupt;

  if (!findChunk(bytes, ByteOrder::Little, "data", chunk)) return SourceStatus::Corrupt;
  layout.dataStart = chunk.bodyStart;
  layout.dataBytes = chunk.size;
  if (format.channels < 1 || format.channels > 255) return SourceStatus::Corrupt;
  if (format.sampleRate < 1 || format.sampleRate > static_cast<uint32_t>(kMaxWaveRate)) return SourceStatus::Corrupt;
  return SourceStatus::Good;
}
