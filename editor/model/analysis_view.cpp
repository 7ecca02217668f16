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

PixelSpan pixelSpan(int64_t pixel, int64_t pixels, int64_t count) {
  if (pixels <= 0 || count <= 0) return {0, std::max<int64_t>(count, 1)};
  pixel = std::clamp<int64_t>(pixel, 0, pixels - 1);
  PixelSpan span;
  span.first = std::min(pixel * count / pixels, count - 1);
  span.end = std::max(span.first + 1, (pixel + 1) * count / pixels);
  return span;
}

void SpectrumView::zoomHorizontally(bool in) { zoomRange(firstBin, binSpan, in, kSmallestBinSpan, 0, kSpectrumBins); }

void SpectrumView::zoomVertically(bool in) { zoomRange(lowDb, dbSpan, in, kSmallestDbSpan, kFullDbLow, kFullDbSpan); }

void SpectrumView::scrollToBin(int bin) { firstBin = std::clamp(bin, 0, kSpectrumBins - binSpan); }

void SpectrumView::scrollToDbFromTop(int fromTop) {
  const int top = kFullDbLow + kFullDbSpan - std::clamp(fromTop, 0, kFullDbSpan - dbSpan);
  lowDb = top - dbSpan;
}

PixelSpan SpectrumView::binsAt(int x, int width) const {
  PixelSpan bins = pixelSpan(x, width, binSpan);
  bins.first += firstBin;
  bins.end += firstBin;
  return bins;
}

int SpectrumView::xOfBin(int bin, int width) const {
  return static_cast<int>(static_cast<int64_t>(bin - firstBin) * width / binSpan);
}

int SpectrumView::yOfDb(double decibels, int height) const {
  return static_cast<int>(std::lround((lowDb + dbSpan - decibels) * height / dbSpan));
}

std::string spectrumReadout(const SpectrumRecord& record, PixelSpan bins) {
  int bin = static_cast<int>(std::clamp<int64_t>(bins.first, 0, kSpectrumBins - 1));
  int level = kSilentLevel - 1;
  for (int64_t k = bin; k < std::min<int64_t>(bins.end, kSpectrumBins); ++k)
    for (int channel = 0; channel < record.channels(); ++channel)
      if (record.level(channel, static_cast<int>(k)) > level) {
        level = record.level(channel, static_cast<int>(k));
        bin = static_cast<int>(k);
      }
  level = std::max(level, kSilentLevel);
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

std::string spectrogramReadout(const Spectrogram& spectrogram, PixelSpan columns, PixelSpan bins) {
  const SpectrogramLayout& layout = spectrogram.layout;
  const int64_t firstColumn = std::clamp<int64_t>(columns.first, 0, layout.columns - 1);
  const int64_t endColumn = std::clamp<int64_t>(columns.end, firstColumn + 1, layout.columns);
  const int firstBin = static_cast<int>(std::clamp<int64_t>(bins.first, 0, layout.bins - 1));
  const int endBin = static_cast<int>(std::clamp<int64_t>(bins.end, firstBin + 1, layout.bins));
  int bin = firstBin;
  uint16_t loudest = spectrogram.cell(firstColumn, bin);
  for (int64_t column = firstColumn; column < endColumn; ++column)
    for (int k = firstBin; k < endBin; ++k)
      if (spectrogram.cell(column, k) > loudest) {
        loudest = spectrogram.cell(column, k);
        bin = k;
      }
  const int64_t frame = spectrogramColumnStart(spectrogram.start, firstColumn, spectrogram.length, layout.columns);
  const int32_t rate = std::max(spectrogram.sampleRate, 1);
  const int hz = static_cast<int>((static_cast<int64_t>(bin) * rate) >> layout.order);
  char text[128];
  std::snprintf(text, sizeof text, "Time: %s    Frequency: %d Hz    Volume: %d dB",
                formatTimeTenths(framesToMs(frame, rate)).c_str(), hz,
                spectrogramCellDecibels(loudest));
  return text;
}
