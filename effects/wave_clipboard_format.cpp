#include "effects/wave_clipboard_format.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"
#include "formats/wave_format.h"

namespace {

// The plain 16-byte PCM record, without an extra-bytes count.
constexpr size_t kRecordBytes = wave_record::kFixedBytes;
constexpr size_t kHeaderBytes = waveFileHeaderBytes(kRecordBytes);

bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Walks the chunks of the RIFF body, checking that each lies inside it.
WaveImageStatus checkLayout(const uint8_t* data, size_t size, size_t& riffEnd) {
  if (size < 12 || !isId(data, "RIFF") || !isId(data + 8, "WAVE")) return WaveImageStatus::Damaged;
  const uint64_t riffSize = le32(data + 4);
  if (riffSize < 4 || 8 + riffSize > size) return WaveImageStatus::Damaged;
  riffEnd = static_cast<size_t>(8 + riffSize);
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= riffEnd;) {
    const uint64_t chunkSize = le32(data + at + 4);
    const uint64_t bodyEnd = at + 8 + chunkSize;
    if (bodyEnd > riffEnd) return WaveImageStatus::Damaged;
    if (isId(data + at, "fmt ")) {
      if (chunkSize < wave_record::kFixedBytes) return WaveImageStatus::Damaged;
      WaveFormat format;
      format.loadFields(data + at + 8);
      if (format.channels < 1 || format.channels > 255 || format.sampleRate == 0 || format.blockAlign == 0)
        return WaveImageStatus::Damaged;
      haveFormat = true;
    } else if (isId(data + at, "data")) {
      return haveFormat ? WaveImageStatus::Good : WaveImageStatus::Damaged;
    }
    at = static_cast<size_t>(bodyEnd + (chunkSize & 1));
  }
  return WaveImageStatus::Damaged;  // no data chunk
}

}  // namespace

WaveImageStatus encodeWaveImage(const SoundBuffer& sound, std::vector<uint8_t>& image, ProgressCallback* progress) {
  const int channels = sound.channels();
  const int64_t frames = sound.totalFrames();
  const uint64_t dataBytes = static_cast<uint64_t>(frames) * channels * 2;
  if (dataBytes + kHeaderBytes - 8 > UINT32_MAX) return WaveImageStatus::TooLong;

  std::vector<uint8_t> bytes =
      waveFileHeader(pcmWaveRecord(channels, sound.sampleRate(), 16, kRecordBytes), static_cast<uint32_t>(dataBytes));
  bytes.resize(kHeaderBytes + dataBytes);
  uint8_t* p = bytes.data();

  auto reader = sound.openReader();
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * channels);
  uint8_t* out = p + kHeaderBytes;
  for (int64_t done = 0; done < frames;) {
    if (progress && !progress->progress(done, frames)) return WaveImageStatus::Cancelled;
    const auto count = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, frames - done));
    reader->read(chunk.data(), count);
    for (size_t i = 0; i < static_cast<size_t>(count) * channels; ++i, out += 2)
      storeLe16(out, static_cast<uint16_t>(int16FromSample(chunk[i])));
    done += count;
  }
  image = std::move(bytes);
  return WaveImageStatus::Good;
}

WaveImageStatus decodeWaveImage(const uint8_t* data, size_t size, SoundBuffer& sound, ProgressCallback* progress) {
  size_t riffEnd = 0;
  if (!data) return WaveImageStatus::Damaged;
  WaveImageStatus layout = checkLayout(data, size, riffEnd);
  if (layout != WaveImageStatus::Good) return layout;
  SampleSourceRef source = openWaveSource(std::make_unique<MemoryByteSource>(data, riffEnd));
  if (!source->good()) return WaveImageStatus::Unsupported;
  switch (loadSourceIntoBuffer(*source, sound, progress)) {
    case JobResult::Done:
      return WaveImageStatus::Good;
    case JobResult::Cancelled:
      return WaveImageStatus::Cancelled;
    default:
      return WaveImageStatus::Failed;
  }
}
