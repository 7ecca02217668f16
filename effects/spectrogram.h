#pragma once
// The time-frequency picture of a stretch of a sound: columns of short
// spectra, B bins each, taken every L / C frames so that neighbouring
// transforms overlap by seven eighths. Each cell keeps the level of its bin
// in 1/256 dB (see spectrogramCell).

#include <cstdint>
#include <vector>

#include "core/sample_source.h"
#include "core/sound_buffer.h"
#include "core/source_status.h"

struct SpectrogramLayout {
  int order = 5;         // the transform takes 2^order frames
  int bins = 16;         // 2^order / 2
  int64_t columns = 1;
};

// The smallest order from 5 up (at most 16) whose transform covers at least
// a thirtieth of a second (rate / 30 in whole frames).
int spectrogramOrder(int32_t sampleRate);
// Columns: (length / bins) * 4, at least 1, and at most as many as keep the
// cells within kMaxSpectrogramCells (long stretches get fewer, evenly
// spaced columns rather than more memory than a PC has).
SpectrogramLayout spectrogramLayout(int32_t sampleRate, int64_t length);
constexpr int64_t kMaxSpectrogramCells = int64_t{1} << 26;  // 128 MB of cells
// The first frame of column c: start + c * length / columns, worked out in
// 64 bits since c * length passes 2^31 for a few minutes of sound.
int64_t spectrogramColumnStart(int64_t start, int64_t column, int64_t length, int64_t columns);

// A cell: the level 20 log10(m * 2^-16.5 * 4,096 / N) (the spectrum
// window's decibels, independent of the transform's size N) as
// (dB + 128) * 256, rounded and held in 0 ... 65,535; silence gives 0.
uint16_t spectrogramCell(double magnitude, int order);
// The whole decibels of a cell, -127 ... 127.
int spectrogramCellDecibels(uint16_t cell);

struct Spectrogram {
  int32_t sampleRate = 44100;
  int32_t start = 0;   // the analysed frames [start, start + length)
  int32_t length = 0;
  SpectrogramLayout layout;
  // layout.columns * layout.bins cells, column after column, bin 0 first.
  std::vector<uint16_t> cells;

  uint16_t cell(int64_t column, int bin) const { return cells[static_cast<size_t>(column * layout.bins + bin)]; }
};

// The spectrogram of frames [start, end) of sound, channels of a stereo
// sound taken together (the mean of their magnitudes). Progress is column
// by column; Failed for an empty stretch or a channel count other than one
// or two.
JobResult computeSpectrogram(const SoundBuffer& sound, int32_t start, int32_t end, ProgressCallback* progress,
                             Spectrogram& result);
// The same with a layout of the caller's (order 1 ... 20, bins 2^order / 2,
// columns at least 1), for pictures of a given size.
JobResult computeSpectrogram(const SoundBuffer& sound, int32_t start, int32_t end, const SpectrogramLayout& layout,
                             ProgressCallback* progress, Spectrogram& result);
