#include "effects/wave_clipboard_format.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "formats/byte_source.h"
#include "formats/formats.h"
#include "formats/sound_file_io.h"

namespace {

constexpr size_t kHeaderBytes = 44;  // RIFF, fmt (16 bytes of record) and data headers
constexpr uint16_t kPcmTag = 1;

void putId(uint8_t* p, const char* id) { std::memcpy(p, id, 4); }
bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

int16_t to16Bits(Sample s) {
  // Rounded, and clipped: a sound made louder than full scale must not wrap.
  return static_cast<int16_t>(clampTo((static_cast<int64_t>(s) + 8) >> 4, -32768, 32767));
}

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
      if (chunkSize < 16) return WaveImageStatus::Damaged;
      const uint8_t* record = data + at + 8;
      const uint16_t channels = le16(record + 2);
      if (channels < 1 || channels > 255 || le32(record + 4) == 0 || le16(record + 12) == 0)
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

  std::vector<uint8_t> bytes(kHeaderBytes + dataBytes);
  uint8_t* p = bytes.data();
  putId(p, "RIFF");
  storeLe32(p + 4, static_cast<uint32_t>(dataBytes + kHeaderBytes - 8));
  putId(p + 8, "WAVE");
  putId(p + 12, "fmt ");
  storeLe32(p + 16, 16);
  storeLe16(p + 20, kPcmTag);
  storeLe16(p + 22, channels);
  storeLe32(p + 24, static_cast<uint32_t>(sound.sampleRate()));
  storeLe32(p + 28, static_cast<uint32_t>(sound.sampleRate()) * channels * 2);
  storeLe16(p + 32, channels * 2);
  storeLe16(p + 34, 16);
  putId(p + 36, "data");
  storeLe32(p + 40, static_cast<uint32_t>(dataBytes));

  auto reader = sound.openReader();
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * channels);
  uint8_t* out = p + kHeaderBytes;
  for (int64_t done = 0; done < frames;) {
    if (progress && !progress->progress(done, frames)) return WaveImageStatus::Cancelled;
    const auto count = static_cast<int32_t>(std::min<int64_t>(kProcessChunkFrames, frames - done));
    reader->read(chunk.data(), count);
    for (size_t i = 0; i < static_cast<size_t>(count) * channels; ++i, out += 2)
      storeLe16(out, static_cast<uint16_t>(to16Bits(chunk[i])));
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
