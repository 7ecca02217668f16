#pragma once
// Reads the frames of a sound: a private copy of the buffer, walked span by
// span with one block file open at a time.

#include "core/sound_buffer.h"
#include "sys/file.h"

class BufferReader final : public SampleSource {
 public:
  explicit BufferReader(const SoundBuffer& buffer);

  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return clampToInt32(m_position); }
  int32_t length() const override { return m_length; }
  void seek(int32_t frame) override;

 private:
  void enterSpan(size_t index, int64_t framesIntoSpan);
  void readFromSpan(Sample* out, int32_t frames);

  SoundBuffer m_buffer;
  int64_t m_position = 0;  // may be negative, and keeps growing past the end
  int32_t m_length;
  size_t m_span = 0;       // the current span; spans().size() when past the end
  bool m_started = false;  // whether m_span has been entered yet
  int32_t m_framesLeftInSpan = 0;
  int32_t m_scale = 512;   // the span's gain >> 15: 512 = unity
  sys::File m_file;
};
