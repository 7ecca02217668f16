#pragma once
// One sound of any length: a rate, a channel count and a chain of spans into
// sample blocks. Edits rearrange and copy spans only; copying a buffer shares
// its blocks. Operations that would make the sound longer than the frame
// limit refuse and return false, leaving the buffer as it was.

#include <cstdint>
#include <vector>

#include "core/block_span.h"
#include "core/sample_source.h"

class SoundBuffer {
 public:
  SoundBuffer() = default;  // 44,100 Hz, mono, empty
  SoundBuffer(int32_t sampleRate, int channels) : m_sampleRate(sampleRate), m_channels(static_cast<uint8_t>(channels)) {}

  int32_t sampleRate() const { return m_sampleRate; }
  uint8_t channels() const { return m_channels; }
  void setFormat(int32_t sampleRate, int channels) {
    m_sampleRate = sampleRate;
    m_channels = static_cast<uint8_t>(channels);
  }
  const std::vector<BlockSpan>& spans() const { return m_spans; }

  int32_t totalFrames() const;
  bool empty() const { return m_spans.empty(); }
  void clear() { m_spans.clear(); }

  void deleteRange(int32_t start, int32_t end);
  bool insertBuffer(int32_t pos, const SoundBuffer& other);
  bool insertSilence(int32_t pos, int32_t frames);
  bool extractRange(const SoundBuffer& source, int32_t start, int32_t end);
  bool cutRange(SoundBuffer& destination, int32_t start, int32_t end);
  bool replaceRange(int32_t start, int32_t end, const SoundBuffer& other);
  void cropToRange(int32_t start, int32_t end);
  void deleteHead(int32_t frames);
  void truncateAt(int32_t frame);
  bool repeatRange(int32_t start, int32_t end, int32_t times);
  void scaleGain(int32_t percent);
  void scaleRange(int32_t start, int32_t end, int32_t percent);

  // A reader on a private copy of this buffer.
  SampleSourceRef openReader() const;
  // A writer whose result replaces this buffer's content when it is closed;
  // a writer that failed leaves the buffer as it was.
  SampleSinkRef openWriter(int32_t sampleRate, int channels);

  // Used by the writer: makes span the only content.
  void setContent(BlockSpan span, int32_t sampleRate, int channels);

 private:
  // Splits the span holding frame (if frame falls inside one) and returns the
  // index of the first span that starts at or after frame.
  size_t splitAt(int64_t frame);
  void insertSpans(size_t index, const std::vector<BlockSpan>& spans);

  int32_t m_sampleRate = 44100;
  uint8_t m_channels = 1;
  std::vector<BlockSpan> m_spans;
};
