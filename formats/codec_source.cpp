#include "formats/codec_source.h"

#include <algorithm>
#include <cstring>

#include "formats/pcm_convert.h"

namespace {
constexpr size_t kOutputFrames = 8192;

// Frames in each block of the formats whose record says so (the ADPCMs and
// GSM 6.10 give their samples per block as the first extra word; G.711 has
// one frame a block); 0 for others, which are learnt while decoding.
int64_t statedFramesPerBlock(const WaveFormat& format) {
  constexpr uint16_t kMsAdpcm = 0x0002, kALaw = 0x0006, kMuLaw = 0x0007, kImaAdpcm = 0x0011, kGsm610 = 0x0031;
  const uint16_t tag = format.effectiveTag();
  if (tag == kALaw || tag == kMuLaw) return format.blockAlign == format.channels ? 1 : 0;
  const bool statesIt = tag == kMsAdpcm || tag == kImaAdpcm || tag == kGsm610;
  if (!statesIt || format.record.size() < wave_record::kFullBytes + 2) return 0;
  return le16(&format.record[wave_record::kFullBytes]);
}

}  // namespace

CodecSource::CodecSource(std::unique_ptr<ByteSource> bytes, const WaveLayout& layout)
    : SampleSource(static_cast<int32_t>(layout.format.sampleRate), layout.format.channels, kLargest16BitSample),
      m_bytes(std::move(bytes)),
      m_format(layout.format),
      m_dataStart(layout.dataStart),
      // A count of 0 from a writer that never came back to fill it in says nothing.
      m_factFrames(layout.factFrames > 0 ? layout.factFrames : -1),
      m_framesPerBlock(statedFramesPerBlock(layout.format)) {
  if (!m_bytes) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  m_dataBytes = std::min<int64_t>(layout.dataBytes, std::max<int64_t>(0, m_bytes->size() - m_dataStart));
  // 0xFFFFFFFF comes from a writer that never closed the file and means "to the end".
  if (m_dataBytes < layout.dataBytes && layout.dataBytes != 0xFFFFFFFFu) reportDamage(SourceStatus::Corrupt);
  m_output.resize(kOutputFrames * channels() * 2);
  if (!restartAt(0)) setStatus(SourceStatus::CodecMissing);
}

bool CodecSource::restartAt(int64_t dataOffset) {
  m_stream = sys::openDecodingStream(m_format.record);
  if (!m_stream) return false;
  m_input.resize(std::max<size_t>(m_stream->inputBytesFor(m_output.size()), std::max<size_t>(m_format.blockAlign, 1)));
  m_inputFill = 0;
  m_dataRead = std::clamp<int64_t>(dataOffset, 0, m_dataBytes);
  m_bytes->seek(m_dataStart + m_dataRead);
  m_decoded.clear();
  m_decodedNext = 0;
  m_ended = false;
  return true;
}

bool CodecSource::decodeMore() {
  while (!m_ended) {
    size_t room = m_input.size() - m_inputFill;
    auto want = static_cast<size_t>(std::min<int64_t>(room, m_dataBytes - m_dataRead));
    size_t got = want ? m_bytes->read(m_input.data() + m_inputFill, want) : 0;
    m_dataRead += static_cast<int64_t>(got);
    m_inputFill += got;
    bool last = got < room && (m_dataRead >= m_dataBytes || got < want);
    size_t consumed = 0, produced = 0;
    if (!m_stream->convert(m_input.data(), m_inputFill, consumed, m_output.data(), m_output.size(), produced, last)) {
      // The codec refuses the rest: what decoded so far is the sound.
      reportDamage(SourceStatus::Corrupt);
      last = true, produced = 0, consumed = m_inputFill;
    }
    consumed = std::min(consumed, m_inputFill);
    std::memmove(m_input.data(), m_input.data() + consumed, m_inputFill - consumed);
    m_inputFill -= consumed;
    learnFramesPerBlock(consumed, produced / 2 / channels());
    if (produced > 0) {
      size_t samples = produced / 2;
      samples -= samples % channels();
      m_decoded.resize(samples);
      for (size_t i = 0; i < samples; ++i) m_decoded[i] = sampleFrom16(static_cast<int16_t>(le16(&m_output[2 * i])));
      m_decodedNext = 0;
      if (samples > 0) return true;
    }
    // Nothing more comes out: at the end, or a codec that makes no progress.
    if (last || (consumed == 0 && got == 0)) endAt(m_decodeFrame);
  }
  return false;
}

void CodecSource::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  const size_t channelCount = channels();
  std::fill_n(buffer, static_cast<size_t>(frames) * channelCount, 0);
  int64_t first = m_position;
  m_position = clampToInt32(first + frames);
  if (!good() || !m_stream) return;
  int64_t skip = first < 0 ? std::min<int64_t>(-first, frames) : 0;
  Sample* out = buffer + skip * channelCount;
  int64_t wanted = frames - skip;
  while (wanted > 0) {
    if (m_factFrames >= 0 && m_decodeFrame >= m_factFrames) {
      endAt(m_factFrames);
      break;
    }
    if (m_decodedNext >= m_decoded.size() && !decodeMore()) break;
    int64_t available = static_cast<int64_t>((m_decoded.size() - m_decodedNext) / channelCount);
    if (m_factFrames >= 0) available = std::min(available, m_factFrames - m_decodeFrame);
    auto take = static_cast<size_t>(std::min<int64_t>(wanted, static_cast<int64_t>(available)));
    std::copy_n(m_decoded.begin() + static_cast<std::ptrdiff_t>(m_decodedNext), take * channelCount, out);
    m_decodedNext += take * channelCount;
    m_decodeFrame += static_cast<int64_t>(take);
    out += take * channelCount;
    wanted -= static_cast<int64_t>(take);
  }
}

int32_t CodecSource::length() const {
  if (m_exactLength >= 0) return clampToInt32(m_exactLength);
  if (m_factFrames >= 0) return clampToInt32(m_factFrames);
  int64_t buffered = static_cast<int64_t>((m_decoded.size() - m_decodedNext) / channels());
  int64_t bytesPerSecond = m_format.averageBytesPerSecond ? m_format.averageBytesPerSecond : sampleRate();
  int64_t remaining = (m_dataBytes - m_dataRead) * sampleRate() / std::max<int64_t>(bytesPerSecond, 1);
  return clampToInt32(m_decodeFrame + buffered + remaining);
}

void CodecSource::discardFrames(int64_t frames) {
  std::vector<Sample> scratch(kOutputFrames * channels());
  int32_t saved = m_position;
  m_position = 0;
  while (frames > 0) {
    auto chunk = static_cast<int32_t>(std::min<int64_t>(frames, kOutputFrames));
    int64_t before = m_decodeFrame;
    read(scratch.data(), chunk);
    if (m_decodeFrame == before) break;  // the end came first
    frames -= chunk;
  }
  m_position = saved;
}

void CodecSource::learnFramesPerBlock(size_t consumed, size_t producedFrames) {
  if (m_framesPerBlock != 0 || consumed == 0) return;
  const size_t align = std::max<size_t>(m_format.blockAlign, 1);
  const size_t blocks = consumed / align;
  // Codecs whose blocks vary (MPEG audio in a WAVE file) show it in a
  // conversion that is not whole blocks of whole frames, or in two
  // conversions that disagree.
  const bool even = consumed % align == 0 && producedFrames % blocks == 0;
  const auto perBlock = even ? static_cast<int64_t>(producedFrames / blocks) : -1;
  if (perBlock <= 0) {
    m_framesPerBlock = -1;
  } else if (m_framesPerBlockSeen == 0) {
    m_framesPerBlockSeen = perBlock;
  } else {
    m_framesPerBlock = perBlock == m_framesPerBlockSeen ? perBlock : -1;
  }
}

void CodecSource::endAt(int64_t frames) {
  m_ended = true;
  m_exactLength = frames;
  // Fewer samples than the file says it holds: its end is missing.
  if (m_factFrames >= 0 && frames < m_factFrames) reportDamage(SourceStatus::Corrupt);
}

void CodecSource::restartPointFor(int64_t target, int64_t& offset, int64_t& frame) const {
  const int64_t align = std::max<int64_t>(m_format.blockAlign, 1);
  // The codec settles within a block or two of a restart, so it starts at
  // least this far before the target.
  const int64_t margin = std::max<int64_t>(2 * align, 256);
  if (m_framesPerBlock > 0) {
    // Every block holds the same number of frames: the restart point is exact.
    const int64_t marginBlocks = (margin + align - 1) / align;
    const int64_t block = std::clamp<int64_t>(target / m_framesPerBlock - marginBlocks, 0, m_dataBytes / align);
    offset = block * align;
    frame = block * m_framesPerBlock;
    return;
  }
  // Before any block has been decoded, the average rate of the header gives an estimate.
  const int64_t bytesPerSecond = m_format.averageBytesPerSecond ? m_format.averageBytesPerSecond : sampleRate();
  offset = std::max<int64_t>(0, target * bytesPerSecond / sampleRate() - margin) / align * align;
  offset = std::min(offset, m_dataBytes / align * align);
  frame = offset * sampleRate() / std::max<int64_t>(bytesPerSecond, 1);
}

void CodecSource::seek(int32_t frame) {
  m_position = frame;
  if (!good()) return;
  int64_t target = std::max(frame, 0);
  if (m_exactLength >= 0) target = std::min(target, m_exactLength);
  int64_t offset = 0, restartFrame = 0;
  restartPointFor(target, offset, restartFrame);
  if (!restartAt(offset)) {
    setStatus(SourceStatus::CodecMissing);
    return;
  }
  m_decodeFrame = restartFrame;
  discardFrames(target - m_decodeFrame);
}
