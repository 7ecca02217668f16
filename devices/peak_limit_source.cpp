#include "devices/peak_limit_source.h"

#include <algorithm>

int32_t PeakLimitSource::blockFrames(int32_t rate) { return clampTo(rate / 35, 20, 8192); }

PeakLimitSource::PeakLimitSource(SampleSourceRef inner, int32_t peak, int32_t lowest)
    : SampleSource(inner->sampleRate(), inner->channels(), std::max(peak, 1)),
      m_inner(std::move(inner)),
      m_peak(std::max(peak, 1)),
      m_lowest(lowest < 0 ? lowest : -m_peak),
      m_blockFrames(blockFrames(sampleRate())) {
  setStatus(m_inner->status());
  for (Block& b : m_blocks) b.samples.resize(static_cast<size_t>(m_blockFrames) * channels());
}

void PeakLimitSource::fill() {
  while (m_count < kBlocks) {
    Block& b = block(m_count);
    b.positionBefore = m_inner->position();
    b.leftBefore = static_cast<int64_t>(m_inner->length()) - b.positionBefore;
    m_inner->read(b.samples.data(), m_blockFrames);
    b.positionAfter = m_inner->position();
    b.leftAfter = static_cast<int64_t>(m_inner->length()) - b.positionAfter;
    Sample highest = 0;
    Sample lowest = 0;
    for (Sample s : b.samples) {
      highest = std::max(highest, s);
      lowest = std::min(lowest, s);
    }
    // Rounded down, so that a sample times the gain / 2^24 stays within bounds.
    b.requiredGain = kUnity;
    if (highest > m_peak) b.requiredGain = static_cast<int64_t>(m_peak) * kUnity / highest;
    if (lowest < m_lowest) {
      b.requiredGain = std::min(b.requiredGain, static_cast<int64_t>(m_lowest) * kUnity / lowest);
    }
    ++m_count;
  }
}

bool PeakLimitSource::isStraight(const Block& b) const {
  return static_cast<int64_t>(b.positionAfter) - b.positionBefore == m_blockFrames;
}

void PeakLimitSource::startBlock() {
  fill();
  if (!m_started) {
    m_gain = std::min(kUnity, block(0).requiredGain);
    m_started = true;
  }
  // The gain at the end of this block stays within what this block and the
  // next need; a louder block further ahead pulls it down by its share.
  int64_t end = std::min({block(0).requiredGain, block(1).requiredGain, kUnity});
  for (int ahead = 2; ahead <= kLookAheadBlocks; ++ahead) {
    int64_t needed = block(ahead).requiredGain;
    if (needed < m_gain) end = std::min(end, m_gain - (m_gain - needed) / ahead);
  }
  // Recovery: a quarter of the way to unity a block, at least 1/32 of unity,
  // so the gain is back within about ten blocks (0.3 s).
  if (end >= m_gain) end = std::min(end, m_gain + std::max((kUnity - m_gain) / 4, kUnity / 32));
  m_gainEnd = end;
  m_blockReady = true;
}

void PeakLimitSource::read(Sample* buffer, int32_t frames) {
  const int ch = channels();
  while (frames > 0) {
    if (!m_blockReady) startBlock();
    const Block& current = block(0);
    int32_t count = std::min(frames, m_blockFrames - m_offset);
    for (int32_t f = 0; f < count; ++f) {
      int64_t at = m_offset + f;
      int64_t gain = m_gain + (m_gainEnd - m_gain) * at / m_blockFrames;
      for (int c = 0; c < ch; ++c) {
        int64_t s = current.samples[static_cast<size_t>(at) * ch + c];
        buffer[static_cast<size_t>(f) * ch + c] = static_cast<Sample>(s * gain / kUnity);  // toward zero
      }
    }
    buffer += static_cast<size_t>(count) * ch;
    frames -= count;
    m_offset += count;
    if (m_offset == m_blockFrames) {
      m_gain = m_gainEnd;
      m_head = (m_head + 1) % kBlocks;
      --m_count;
      m_offset = 0;
      m_blockReady = false;
    }
  }
}

int32_t PeakLimitSource::position() const {
  if (m_count == 0) return m_inner->position();
  const Block& current = block(0);
  if (m_offset == 0) return current.positionBefore;
  // Inside a block that wrapped (a loop turned in it) the frame count does
  // not map to a position; its end is the nearest honest answer.
  return isStraight(current) ? current.positionBefore + m_offset : current.positionAfter;
}

int32_t PeakLimitSource::length() const {
  if (m_count == 0) return m_inner->length();
  // What the inner source had left when the current block was read, less
  // what of the block is handed out. Inside a block that did not advance
  // straight (a loop turned, a scan jumped) only its end is known.
  const Block& current = block(0);
  int64_t left = m_offset == 0 ? current.leftBefore
                 : isStraight(current) ? current.leftBefore - m_offset
                                       : current.leftAfter + (m_blockFrames - m_offset);
  return clampToInt32(position() + left);
}

void PeakLimitSource::seek(int32_t frame) {
  m_inner->seek(frame);
  m_head = 0;
  m_count = 0;
  m_offset = 0;
  m_started = false;
  m_blockReady = false;
}
