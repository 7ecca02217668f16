#pragma once
// Short-time spectra of a sound: frames of fftSize samples every hop samples,
// each channel on its own, under a periodic Hann window. The analyser hands
// on the spectrum of every complete frame; the filter source changes each
// frame's spectrum through a modifier and adds the frames back together, so
// that a modifier that changes nothing gives the input again (to float
// rounding), in step with it.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/sample_source.h"
#include "effects/real_fft.h"

struct SpectrumLayout {
  int fftSize;  // a power of two
  int hop;      // a quarter of it: frames overlap by three quarters

  int bins() const { return fftSize / 2 + 1; }
  // About 46 ms per frame (2,048 at 44,100 Hz), at least 256 and at most 8,192.
  static SpectrumLayout forRate(int32_t sampleRate);
};

std::vector<float> periodicHannWindow(int size);

// Frame k of a channel covers samples k * hop .. k * hop + fftSize - 1 of
// what was pushed.
class ShortTimeAnalyser {
 public:
  // re and im hold layout.bins() values.
  using Visit = std::function<void(int channel, const float* re, const float* im)>;

  ShortTimeAnalyser(SpectrumLayout layout, int channels);
  // Interleaved frames; visit runs for every frame completed by them, channel
  // by channel.
  void push(const Sample* samples, int32_t frames, const Visit& visit);
  // When no frame was complete yet, the samples pushed so far, zero-padded,
  // as one frame. True when that made a frame.
  bool flushShort(const Visit& visit);
  int64_t framesAnalysed() const { return m_framesDone; }
  const SpectrumLayout& layout() const { return m_layout; }

 private:
  void analyse(const Visit& visit);

  SpectrumLayout m_layout;
  int m_channels;
  RealFft m_fft;
  std::vector<float> m_window;
  std::vector<std::vector<float>> m_history;  // per channel, the frame being filled
  int m_filled = 0;
  int64_t m_framesDone = 0;
  std::vector<float> m_frame, m_re, m_im;
};

// Changes one frame's spectrum of one channel in place; frames come in
// order, channel by channel.
class SpectrumModifier {
 public:
  virtual ~SpectrumModifier() = default;
  virtual void modify(int channel, float* re, float* im) = 0;
};

// The input with every frame's spectrum changed by the modifier. The first
// frames start before the input (on silence) and the last run past its end,
// so every input sample is covered by the same number of frames.
class SpectralFilterSource final : public SampleSource {
 public:
  SpectralFilterSource(SampleSourceRef input, SpectrumLayout layout, std::unique_ptr<SpectrumModifier> modifier);
  void read(Sample* buffer, int32_t frames) override;
  int32_t position() const override { return clampToInt32(m_position); }
  int32_t length() const override { return m_input->length(); }
  // Starts again at frame, the modifier carrying on with its state.
  void seek(int32_t frame) override;

 private:
  void restart(int64_t frame);
  void processHop();

  SampleSourceRef m_input;
  SpectrumLayout m_layout;
  std::unique_ptr<SpectrumModifier> m_modifier;
  RealFft m_fft;
  std::vector<float> m_window;
  float m_scale;  // undoes the transform's factor and the windows' overlap
  std::vector<std::vector<float>> m_history, m_sum;  // per channel
  std::vector<Sample> m_hopInput;
  std::vector<Sample> m_ready;  // interleaved output frames not read yet
  size_t m_readyFrom = 0;       // first unread sample in m_ready
  int64_t m_discard = 0;        // output frames still to drop (before the start)
  int64_t m_position = 0;
  std::vector<float> m_frame, m_re, m_im;
};
