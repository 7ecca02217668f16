#include "core/buffer_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "block files hold little-endian samples");

BufferReader::BufferReader(const SoundBuffer& buffer)
    : SampleSource(buffer.sampleRate(), buffer.channels(), 1 << 21),
      m_buffer(buffer),
      m_length(buffer.totalFrames()) {}

void BufferReader::enterSpan(size_t index, int64_t framesIntoSpan) {
  m_file.close();
  m_span = index;
  m_started = true;
  m_framesLeftInSpan = 0;
  if (index >= m_buffer.spans().size()) return;
  const BlockSpan& span = m_buffer.spans()[index];
  m_framesLeftInSpan = static_cast<int32_t>(span.length() - framesIntoSpan);
  m_scale = span.gain() >> 15;
  if (span.silent()) return;
  m_file = sys::File::open(blockSamplePath(span.block()), sys::Access::Read, sys::Share::Read,
                           sys::Disposition::OpenExisting);
  int64_t frame = static_cast<int64_t>(span.offset()) + framesIntoSpan;
  if (m_file.isOpen() && frame > 0) m_file.seek(frame * channels() * 4);
}

void BufferReader::readFromSpan(Sample* out, int32_t frames) {
  size_t samples = static_cast<size_t>(frames) * channels();
  if (!m_file.isOpen()) {
    std::fill_n(out, samples, 0);
    return;
  }
  size_t got = m_file.read(out, samples * sizeof(Sample)) / sizeof(Sample);
  std::fill(out + got, out + samples, 0);  // a short block file reads as silence
  if (m_scale == 512) return;
  for (size_t i = 0; i < got; ++i)
    out[i] = clampToInt32((static_cast<int64_t>(out[i]) * m_scale) >> 9);
}

void BufferReader::read(Sample* buffer, int32_t frames) {
  if (frames <= 0) return;
  const int channelCount = channels();
  int32_t remaining = frames;
  if (m_position < 0) {
    auto silent = static_cast<int32_t>(std::min<int64_t>(remaining, -m_position));
    std::fill_n(buffer, static_cast<size_t>(silent) * channelCount, 0);
    buffer += static_cast<size_t>(silent) * channelCount;
    remaining -= silent;
  }
  m_position += frames;
  while (remaining > 0) {
    if (m_framesLeftInSpan == 0) {
      size_t next = m_started ? m_span + 1 : 0;
      if (m_started && m_span >= m_buffer.spans().size()) next = m_span;
      enterSpan(next, 0);
      if (m_span >= m_buffer.spans().size()) break;
      if (m_framesLeftInSpan == 0) continue;
    }
    int32_t take = std::min(remaining, m_framesLeftInSpan);
    readFromSpan(buffer, take);
    buffer += static_cast<size_t>(take) * channelCount;
    remaining -= take;
    m_framesLeftInSpan -= take;
  }
  std::fill_n(buffer, static_cast<size_t>(remaining) * channelCount, 0);
}

void BufferReader::seek(int32_t frame) {
  m_file.close();
  m_position = frame;
  m_started = false;
  m_span = 0;
  m_framesLeftInSpan = 0;
  if (frame <= 0) return;
  int64_t spanStart = 0;
  const auto& spans = m_buffer.spans();
  for (size_t i = 0; i < spans.size(); ++i) {
    if (frame < spanStart + spans[i].length()) {
      enterSpan(i, frame - spanStart);
      return;
    }
    spanStart += spans[i].length();
  }
  enterSpan(spans.size(), 0);
}

SampleSourceRef SoundBuffer::openReader() const { return makeRef<BufferReader>(*this); }
