#include "editor/model/analysis_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/sample.h"
#include "editor/model/time_text.h"

namespace {

// Halves or doubles span about the centre of [first, first + span), kept
// inside [low, low + full).
void zoomRange(int& first, int& span, bool in, int smallest, int low, int full) {
  const int centre = first + span / 2;
  span = in ? std::max(span / 2, smallest) : std::min(span * 2, full);
  first = std::clamp(centre - span / 2, low, low + full - span);
}

}  // namespace

void SpectrumView::zoomHorizontally(bool in) { zoomRange(firstBin, binSpan, in, kSmallestBinSpan, 0, kSpectrumBins); }

void SpectrumView::zoomVertically(bool in) { zoomRange(lowDb, dbSpan, in, kSmallestDbSpan, kFullDbLow, kFullDbSpan); }

void SpectrumView::scrollToBin(int bin) { firstBin = std::clamp(bin, 0, kSpectrumBins - binSpan); }

void SpectrumView::scrollToDbFromTop(int fromTop) {
  const int top = kFullDbLow + kFullDbSpan - std::clamp(fromTop, 0, kFullDbSpan - dbSpan);
  lowDb = top - dbSpan;
}

int SpectrumView::binAt(int x, int width) const {
  if (width <= 0) return firstBin;
  return std::clamp(firstBin + static_cast<int>(static_cast<int64_t>(x) * binSpan / width), firstBin,
                    firstBin + binSpan - 1);
}

int SpectrumView::xOfBin(int bin, int width) const {
  return static_cast<int>(static_cast<int64_t>(bin - firstBin) * width / binSpan);
}

int SpectrumView::yOfDb(double decibels, int height) const {
  return static_cast<int>(std::lround((lowDb + dbSpan - decibels) * height / dbSpan));
}

std::string spectrumReadout(const SpectrumRecord& record, int bin) {
  bin = std::clamp(bin, 0, kSpectrumBins - 1);
  int level = record.level(0, bin);
  if (record.stereo) level = std::max(level, record.level(1, bin));
  char text[64];
  std::snprintf(text, sizeof text, "%d Hz, %d dB", binFrequency(bin, record.sampleRate), level);
  return text;
}

SpectrogramBand spectrogramBand(const Spectrogram& spectrogram, bool fullRange, int bandStartHz) {
  const int bins = spectrogram.layout.bins;
  if (fullRange) return {0, bins};
  const int64_t size = int64_t{1} << spectrogram.layout.order;
  const int64_t rate = std::max(spectrogram.sampleRate, 1);
  auto binOf = [&](int64_t hz) { return static_cast<int>(std::clamp<int64_t>(hz * size / rate, 0, bins)); };
  SpectrogramBand band;
  band.firstBin = std::min(binOf(std::max(bandStartHz, 0)), bins - 1);
  band.binCount = std::max(binOf(std::max(bandStartHz, 0) + int64_t{kZoomedBandHz}) - band.firstBin, 1);
  return band;
}

int largestBandStartHz(int32_t sampleRate) { return std::max(sampleRate / 2 - kZoomedBandHz, 0); }

uint32_t spectrogramColour(uint16_t cell, int brightness) {
  // The level that shows black, and the 90 dB above it up to white.
  const double black = 50 - std::clamp(brightness, 0, 100);
  const double decibels = cell / 256.0 - 128;
  const double t = std::clamp((decibels - black) / 90, 0.0, 1.0);
  // Four legs: black to blue, blue to red, red to yellow, yellow to white.
  struct Rgb {
    double r, g, b;
  };
  static constexpr Rgb kStops[] = {{0, 0, 0}, {0, 0, 200}, {220, 0, 40}, {255, 220, 0}, {255, 255, 255}};
  const double position = t * 4;
  const int leg = std::min(static_cast<int>(position), 3);
  const double f = position - leg;
  const Rgb& a = kStops[leg];
  const Rgb& b = kStops[leg + 1];
  auto channel = [&](double from, double to) {
    return static_cast<uint32_t>(std::lround(from + (to - from) * f)) & 0xFF;
  };
  return channel(a.r, b.r) << 16 | channel(a.g, b.g) << 8 | channel(a.b, b.b);
}

std::string spectrogramReadout(const Spectrogram& spectrogram, int64_t column, int bin) {
  const SpectrogramLayout& layout = spectrogram.layout;
  column = std::clamp<int64_t>(column, 0, layout.columns - 1);
  bin = std::clamp(bin, 0, layout.bins - 1);
  const int64_t frame = spectrogramColumnStart(spectrogram.start, column, spectrogram.length, layout.columns);
  const int32_t rate = std::max(spectrogram.sampleRate, 1);
  const int hz = static_cast<int>((static_cast<int64_t>(bin) * rate) >> layout.order);
  char text[128];
  std::snprintf(text, sizeof text, "Time: %s    Frequency: %d Hz    Volume: %d dB",
                formatTimeTenths(framesToMs(frame, rate)).c_str(), hz,
                spectrogramCellDecibels(spectrogram.cell(column, bin)));
  return text;
}

int64_t spectrogramColumnAt(const Spectrogram& spectrogram, int x, int width) {
  const int64_t columns = spectrogram.layout.columns;
  if (width <= 0) return 0;
  return std::clamp<int64_t>(static_cast<int64_t>(x) * columns / width, 0, columns - 1);
}
