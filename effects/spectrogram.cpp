#include "effects/spectrogram.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "effects/frequency_analysis.h"
#include "effects/spectrum_fft.h"

int spectrogramOrder(int32_t sampleRate) {
  const int32_t shortest = sampleRate / 30;
  int order = 5;
  while (order < 16 && (int32_t{1} << order) < shortest) ++order;
  return order;
}

SpectrogramLayout spectrogramLayout(int32_t sampleRate, int64_t length) {
  SpectrogramLayout layout;
  layout.order = spectrogramOrder(sampleRate);
  layout.bins = (1 << layout.order) / 2;
  layout.columns = std::max<int64_t>(length / layout.bins * 4, 1);
  layout.columns = std::min(layout.columns, kMaxSpectrogramCells / layout.bins);
  return layout;
}

int64_t spectrogramColumnStart(int64_t start, int64_t column, int64_t length, int64_t columns) {
  return start + column * length / columns;
}

uint16_t spectrogramCell(double magnitude, int order) {
  // 20 log10(m * 2^-16.5 * 4096 / 2^order) = 20 log10(2) (log2 m - 4.5 - order).
  // A float logarithm is plenty for steps of 1/256 dB and several times
  // faster than a double one, which matters at a million cells a second.
  if (!(magnitude > 0)) return 0;
  constexpr double kDecibelsPerOctave = 6.020599913279624;
  const double decibels = kDecibelsPerOctave * (std::log2(static_cast<float>(magnitude)) - 4.5 - order);
  const double scaled = std::round((decibels + 128) * 256);
  if (!(scaled > 0)) return 0;
  return static_cast<uint16_t>(std::min(scaled, 65535.0));
}

int spectrogramCellDecibels(uint16_t cell) {
  const int decibels = static_cast<int>(std::lround(cell / 256.0)) - 128;
  return std::clamp(decibels, kSilentLevel, kLoudestLevel);
}

namespace {

// The frames of consecutive columns. Columns advance by about a quarter of
// a transform, so most of a column's frames were read for the one before:
// those are moved down and only the new ones read, and the reader runs on
// without seeking.
class ColumnFrames {
 public:
  ColumnFrames(const SoundBuffer& sound, int frames)
      : m_reader(sound.openReader()), m_channels(sound.channels()), m_frames(frames),
        m_samples(static_cast<size_t>(frames) * sound.channels()) {}

  const Sample* at(int64_t first) {
    const int64_t kept = m_loaded ? m_first + m_frames - first : 0;
    if (kept > 0 && kept < m_frames && first > m_first) {
      const size_t moved = static_cast<size_t>(first - m_first) * m_channels;
      std::memmove(m_samples.data(), m_samples.data() + moved, (m_samples.size() - moved) * sizeof(Sample));
      m_reader->read(m_samples.data() + static_cast<size_t>(kept) * m_channels,
                     static_cast<int32_t>(m_frames - kept));
    } else if (!m_loaded || first != m_first) {
      m_reader->seek(static_cast<int32_t>(first));
      m_reader->read(m_samples.data(), m_frames);
    }
    m_first = first;
    m_loaded = true;
    return m_samples.data();
  }

 private:
  SampleSourceRef m_reader;
  int m_channels;
  int m_frames;
  std::vector<Sample> m_samples;
  int64_t m_first = 0;
  bool m_loaded = false;
};

}  // namespace

JobResult computeSpectrogram(const SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress,
                             Spectrogram& result) {
  return computeSpectrogram(sound, start, end, spectrogramLayout(sound.sampleRate(), int64_t{end} - start), progress,
                            result);
}

JobResult computeSpectrogram(const SoundBuffer& sound, int32_t start, int32_t end, const SpectrogramLayout& layout,
                             ProgressCallback* progress, Spectrogram& result) {
  const int channels = sound.channels();
  const int64_t length = static_cast<int64_t>(end) - start;
  if (length <= 0 || (channels != 1 && channels != 2)) return JobResult::Failed;
  if (layout.order < 1 || layout.order > 20 || layout.bins != (1 << layout.order) / 2 || layout.columns < 1)
    return JobResult::Failed;
  Spectrogram spectrogram;
  spectrogram.sampleRate = sound.sampleRate();
  spectrogram.start = start;
  spectrogram.length = static_cast<int32_t>(length);
  spectrogram.layout = layout;
  // Up to kMaxSpectrogramCells: a PC short of that much memory gets a
  // failure to report rather than a crash.
  try {
    spectrogram.cells.resize(static_cast<size_t>(layout.columns * layout.bins));
  } catch (const std::bad_alloc&) {
    return JobResult::Failed;
  }
  SpectrumFft fft(layout.order);
  ColumnFrames frames(sound, fft.size());
  for (int64_t column = 0; column < layout.columns; ++column) {
    if (progress && !progress->progress(column, layout.columns)) return JobResult::Cancelled;
    const Sample* samples = frames.at(spectrogramColumnStart(start, column, length, layout.columns));
    uint16_t* cells = &spectrogram.cells[static_cast<size_t>(column * layout.bins)];
    if (channels == 2) {
      fft.loadStereo(samples);
      fft.transform();
      for (int bin = 0; bin < layout.bins; ++bin) {
        double left = 0, right = 0;
        fft.stereoMagnitudes(bin, left, right);
        cells[bin] = spectrogramCell(0.5 * (left + right), layout.order);
      }
    } else {
      fft.loadChannel(samples, 1, 0);
      fft.transform();
      for (int bin = 0; bin < layout.bins; ++bin) cells[bin] = spectrogramCell(fft.magnitude(bin), layout.order);
    }
  }
  if (progress && !progress->progress(layout.columns, layout.columns)) return JobResult::Cancelled;
  result = std::move(spectrogram);
  return JobResult::Done;
}
