#pragma once
// The two interfaces through which all audio flows between files, buffers,
// effects and devices.

#include <cstdint>
#include <functional>

#include "core/sample.h"
#include "core/source_ref.h"
#include "core/source_status.h"

class SampleSource : public Counted {
 public:
  // Fills frames * channels samples; always the whole request, with silence
  // where the source has no data.
  virtual void read(Sample* buffer, int32_t frames) = 0;
  // The frame that the next read returns (may be negative or past the end).
  virtual int32_t position() const = 0;
  virtual int32_t length() const = 0;
  virtual void seek(int32_t frame) {}

  int32_t sampleRate() const { return m_sampleRate; }
  uint8_t channels() const { return m_channels; }
  int32_t nominalPeak() const { return m_nominalPeak; }
  SourceStatus status() const { return m_status; }
  bool good() const { return m_status == SourceStatus::Good; }
  // Damage that a good source read past: parts of its file that did not
  // decode and were left out or read as silence (Corrupt), so that the user
  // can be told that the sound is not all there. Good while none was met.
  // Readers find most damage as they decode: ask after reading to the end.
  SourceStatus damage() const { return m_damage; }

 protected:
  // A rate of 0 or less becomes 44,100 and 0 channels become 1, both with status 3.
  SampleSource(int32_t sampleRate, int channels, int32_t nominalPeak);
  void setFormat(int32_t sampleRate, int channels);
  void setNominalPeak(int32_t peak) { m_nominalPeak = peak; }
  void setStatus(SourceStatus status) { m_status = status; }
  // The first damage is kept.
  void reportDamage(SourceStatus damage) {
    if (m_damage == SourceStatus::Good) m_damage = damage;
  }

 private:
  int32_t m_sampleRate = 44100;
  int32_t m_nominalPeak = 1 << 21;
  uint8_t m_channels = 1;
  SourceStatus m_status = SourceStatus::Good;
  SourceStatus m_damage = SourceStatus::Good;
};

class SampleSink : public Counted {
 public:
  ~SampleSink() override = default;
  virtual void write(const Sample* buffer, int32_t frames) = 0;
  virtual void seek(int32_t frame) {}
  // Commits the result now (closes the file, publishes the block) and returns
  // the final status, so the caller can report a failure. Releasing the last
  // handle commits too when nobody called close. Derived sinks call close()
  // from their destructor and do their commit in commit().
  SourceStatus close();

  int32_t position() const { return m_position; }
  int32_t sampleRate() const { return m_sampleRate; }
  uint8_t channels() const { return m_channels; }
  SourceStatus status() const { return m_status; }
  bool good() const { return m_status == SourceStatus::Good; }
  bool closed() const { return m_closed; }
  // True once a write was refused because the file's size fields could not
  // describe more samples. The sink has failed then, but closing it still
  // finishes the file with everything written before; a recorder ends that
  // file there and goes on in a new one.
  bool full() const { return m_full; }

 protected:
  // 0 channels become 1 with status 1.
  SampleSink(int32_t sampleRate, int channels);
  virtual void commit() = 0;
  void setStatus(SourceStatus status) { m_status = status; }
  // The first failure is kept.
  void fail() {
    if (m_status == SourceStatus::Good) m_status = SourceStatus::CannotCreate;
  }
  void setPosition(int32_t position) { m_position = position; }
  // Refuses a write that would pass what the file can describe.
  void refuseAsFull() {
    m_full = true;
    fail();
  }

 private:
  int32_t m_position = 0;
  int32_t m_sampleRate = 44100;
  uint8_t m_channels = 1;
  SourceStatus m_status = SourceStatus::Good;
  bool m_closed = false;
  bool m_full = false;
};

using SampleSourceRef = SourceRef<SampleSource>;
using SampleSinkRef = SourceRef<SampleSink>;

class ProgressCallback {
 public:
  virtual ~ProgressCallback() = default;
  // done of total frames; return false to cancel.
  virtual bool progress(int64_t done, int64_t total) = 0;
};
// Reads frames of source in chunks of kProcessChunkFrames, handing each to
// visit and asking progress before each chunk and at the end. Done,
// Cancelled, or Failed as soon as visit returns false.
JobResult readInChunks(SampleSource& source, int64_t frames, ProgressCallback* progress,
                       const std::function<bool(const Sample* samples, int32_t frames)>& visit);
// Copies frames of source into sink through readInChunks. Returns Done,
// Cancelled, or Failed as soon as the sink reports a failure.
JobResult copySourceToSink(SampleSource& source, SampleSink& sink, int64_t frames,
                           ProgressCallback* progress = nullptr);
