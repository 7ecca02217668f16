#include "formats/codec_source.h"

#include <algorithm>
#include <cstring>

#include "formats/pcm_convert.h"

namespace {
constexpr size_t kOutputFrames = 8192;
}

CodecSource::CodecSource(std::unique_ptr<ByteSource> bytes, const WaveLayout& layout)
    : SampleSource(static_cast<int32_t>(layout.format.sampleRate), layout.format.channels, kLargest16BitSample),
      m_bytes(std::move(bytes)),
      m_format(layout.format),
      m_dataStart(layout.dataStart) {
  if (!m_bytes) {
    setStatus(SourceStatus::CannotOpen);
    return;
  }
  m_dataBytes = std::min<int64_t>(layout.dataBytes, std::max<int64_t>(0, m_bytes->size() - m_dataStart));
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
    if (!m_stream->convert(m_input.data(), m_inputFill, consumed, m_output.data(), m_output.size(), produced, last))
      last = true, produced = 0, consumed = m_inputFill;
    consumed = std::min(consumed, m_inputFill);
    std::memmove(m_input.data(), m_input.data() + consumed, m_inputFill - consumed);
    m_inputFill -= consumed;
    if (produced > 0) {
      size_t samples = produced / 2;
      samples -= samples % channels();
      m_decoded.resize(samples);
      for (size_t i = 0; i < samples; ++i) m_decoded[i] = sampleFrom16(static_cast<int16_t>(le16(&m_output[2 * i])));
      m_decodedNext = 0;
      if (samples > 0) return true;
    }
    // Nothing more comes out: at the end, or a codec that makes no progress.
    if (last || (consumed == 0 && got == 0)) {
      m_ended = true;
      m_exactLength = m_decodeFrame;
    }
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
    if (m_decodedNext >= m_decoded.size() && !decodeMore()) break;
    size_t available = (m_decoded.size() - m_decodedNext) / channelCount;
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

void CodecSource::seek(int32_t frame) {
  m_position = frame;
  if (!good()) return;
  int64_t target = std::max(frame, 0);
  if (m_exactLength >= 0) target = std::min(target, m_exactLength);
  int64_t bytesPerSecond = m_format.averageBytesPerSecond ? m_format.averageBytesPerSecond : sampleRate();
  int64_t align = std::max<int64_t>(m_format.blockAlign, 1);
  int64_t offset = target * bytesPerSecond / sampleRate();
  offset -= std::max<int64_t>(2 * align, 256);
  offset = std::max<int64_t>(0, offset) / align * align;
  offset = std::min(offset, m_dataBytes / align * align);
  if (!restartAt(offset)) {
    setStatus(SourceStatus::CodecMissing);
    return;
  }
  // The frame at the restart point is estimated from the average rate; the
  // margin before the target absorbs the codec's settling.
  m_decodeFrame = offset * sampleRate() / std::max<int64_t>(bytesPerSecond, 1);
  discardFrames(target - m_decodeFrame);
  if (m_ended && m_exactLength >= 0) m_exactLength = std::max(m_exactLength, m_decodeFrame);
}
