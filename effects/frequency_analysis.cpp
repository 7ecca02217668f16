#include "effects/frequency_analysis.h"

#include <cmath>

#include "effects/spectrum_fft.h"

namespace {

// 2^-16.5: the scale of a 4,096-point transform of Samples to decibels.
constexpr double kLevelScale = 1.0789581580026326e-05;

}  // namespace

double spectrumDecibels(double magnitude) {
  if (magnitude <= 0) return -HUGE_VAL;
  return 20 * std::log10(magnitude * kLevelScale);
}

int spectrumLevel(double magnitude) {
  const double decibels = spectrumDecibels(magnitude);
  if (decibels <= kSilentLevel) return kSilentLevel;
  if (decibels >= kLoudestLevel) return kLoudestLevel;
  return static_cast<int>(std::lround(decibels));  // half away from zero
}

int binFrequency(int bin, int32_t sampleRate) {
  return static_cast<int>(static_cast<int64_t>(bin) * sampleRate / kSpectrumSize);
}

std::optional<SpectrumRecord> analyseSpectrum(const SoundBuffer& sound, int32_t cursor) {
  const int channels = sound.channels();
  if (channels != 1 && channels != 2) return std::nullopt;
  std::vector<Sample> frames(static_cast<size_t>(kSpectrumSize) * channels);
  {
    SampleSourceRef reader = sound.openReader();
    reader->seek(cursor);
    reader->read(frames.data(), kSpectrumSize);  // silence past the end
  }
  SpectrumRecord record;
  record.sampleRate = sound.sampleRate();
  record.stereo = channels == 2;
  record.levels.resize(static_cast<size_t>(kSpectrumBins) * channels);
  SpectrumFft fft(kSpectrumOrder);
  for (int channel = 0; channel < channels; ++channel) {
    fft.loadChannel(frames.data(), channels, channel);
    fft.transform();
    for (int bin = 0; bin < kSpectrumBins; ++bin)
      record.levels[static_cast<size_t>(channel) * kSpectrumBins + bin] = spectrumLevel(fft.magnitude(bin));
  }
  return record;
}
