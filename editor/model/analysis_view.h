#pragma once
// What the two analysis windows show, without the windows: the visible part
// of the spectrum and its zoom steps, the band of the spectrogram, the
// colours of its cells, and the read-outs under the mouse.

#include <cstdint>
#include <string>

#include "effects/frequency_analysis.h"
#include "effects/spectrogram.h"

// The items [first, end) out of count that pixel `pixel` of `pixels` shows:
// at least one item, within 0 ... count (count > 0).
struct PixelSpan {
  int64_t first = 0;
  int64_t end = 1;
};
PixelSpan pixelSpan(int64_t pixel, int64_t pixels, int64_t count);

// The part of the spectrum in view: bins [firstBin, firstBin + binSpan) across,
// levels [lowDb, lowDb + dbSpan) up. Zooming halves or doubles a span about
// its centre; everything stays inside bins 0 ... 2,047 and -128 ... 128 dB.
struct SpectrumView {
  static constexpr int kFullDbLow = -128;
  static constexpr int kFullDbSpan = 256;
  static constexpr int kSmallestBinSpan = 16;
  static constexpr int kSmallestDbSpan = 16;

  int firstBin = 0;
  int binSpan = kSpectrumBins;
  int lowDb = kFullDbLow;
  int dbSpan = kFullDbSpan;

  void zoomToDefault() { *this = SpectrumView{}; }
  void zoomHorizontally(bool in);
  void zoomVertically(bool in);
  // Scroll positions: the first bin, and the top level counted down from
  // 128 dB (so that the scroll bar's top is the loudest).
  void scrollToBin(int bin);
  void scrollToDbFromTop(int fromTop);
  int dbFromTop() const { return kFullDbLow + kFullDbSpan - (lowDb + dbSpan); }

  // Pixel mapping over a graph of width x height pixels.
  PixelSpan binsAt(int x, int width) const;
  int xOfBin(int bin, int width) const;
  int yOfDb(double decibels, int height) const;
};

// "%d Hz, %d dB": the frequency and level of the loudest of bins (the
// louder channel of a stereo spectrum), as the curve shows them under a pixel.
std::string spectrumReadout(const SpectrumRecord& record, PixelSpan bins);

// The frequencies of the spectrogram in view: all of them, or a band of
// 4,000 Hz starting at bandStartHz (the vertical scroll position).
constexpr int kZoomedBandHz = 4000;
struct SpectrogramBand {
  int firstBin = 0;
  int binCount = 1;
};
SpectrogramBand spectrogramBand(const Spectrogram& spectrogram, bool fullRange, int bandStartHz);
// The highest start of a 4,000 Hz band below the Nyquist frequency.
int largestBandStartHz(int32_t sampleRate);

// The colour of a cell as 0x00RRGGBB, from black through blue, red and
// yellow to white. Brightness 0 ... 100 moves the level that shows as black:
// at 50 a cell below 0 dB is black and one of 90 dB and above white; each
// step up lifts quieter cells by one decibel.
constexpr int kDefaultBrightness = 50;
uint32_t spectrogramColour(uint16_t cell, int brightness);

// "Time: %s    Frequency: %d Hz    Volume: %d dB" for the cells under a
// pixel: the time of the first column's first frame in the sound
// ("h:mm:ss.t"), the frequency and level of the loudest cell.
std::string spectrogramReadout(const Spectrogram& spectrogram, PixelSpan columns, PixelSpan bins);
