#pragma once
// The spectrum at the cursor: 4,096 frames from the cursor on (silence past
// the end), windowed and transformed per channel, bins 0 ... 2,047 turned
// into whole decibels. Also the decibel rule shared with the spectrogram.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/sound_buffer.h"

constexpr int kSpectrumOrder = 12;
constexpr int kSpectrumSize = 1 << kSpectrumOrder;  // frames per transform
constexpr int kSpectrumBins = kSpectrumSize / 2;
constexpr int kSilentLevel = -127;
constexpr int kLoudestLevel = 127;

// The unrounded level of a bin of a 4,096-point transform:
// 20 log10(|X| * 2^-16.5); -infinity for 0.
double spectrumDecibels(double magnitude);
// spectrumDecibels rounded half away from zero into -127 ... 127; 0 gives -127.
int spectrumLevel(double magnitude);

struct SpectrumRecord {
  int32_t sampleRate = 44100;
  bool stereo = false;
  // kSpectrumBins levels per channel, the left channel's first.
  std::vector<int32_t> levels;

  int channels() const { return stereo ? 2 : 1; }
  int32_t level(int channel, int bin) const { return levels[static_cast<size_t>(channel) * kSpectrumBins + bin]; }
};

// Bin k stands for k * rate / 4,096 Hz (rounded down).
int binFrequency(int bin, int32_t sampleRate);

// The spectrum of sound at frame cursor; nothing for channel counts other
// than one and two.
std::optional<SpectrumRecord> analyseSpectrum(const SoundBuffer& sound, int32_t cursor);
