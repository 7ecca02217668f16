#pragma once
// Sample-rate conversion by windowed-sinc interpolation.
//
// Each output frame lies at an exact rational input position p. The kernel
// has 63 taps at the lower of the two rates: the frame nearest p, 31 frames
// of history and 31 of look-ahead, plus the one frame beyond that a position
// between two frames reaches (32 frames of look-ahead in all). At the start
// the history is silence. When the output rate is the lower one the kernel is
// stretched by the ratio, so that the filter keeps its shape relative to the
// output's band.
//
// A conversion to less than a quarter of the input rate goes through twice
// the target rate first (44,100 -> 16,000 -> 8,000). The last stage shapes
// the output's band. The first one only has to keep what would fold into
// that band out (everything above 1.5 times the target), so its transition
// band can be wide and its kernel needs no stretching as long as it passes
// the output's band untouched: 63 taps at 44,100 Hz instead of 174.
//
// Window: Kaiser with beta 10.5, the shape that comes closest to putting all
// of the kernel's energy into its main lobe for a given length; at 63 taps it
// keeps the stopband more than 100 dB down with a transition band of 0.105 of
// the rate the taps are spaced at. The cut-off is placed so that the stopband
// starts at the lower rate's Nyquist frequency: nothing above it passes and
// no image or alias falls into the output, at the price of a passband that
// ends at 0.395 of the lower rate (17.4 kHz at 44,100 Hz).

#include <cstdint>
#include <vector>

#include "effects/planar_stream.h"

namespace resampling {

constexpr int kKernelTaps = 63;
constexpr int kLookAhead = 32;
constexpr int kHistory = 31;
constexpr double kKaiserBeta = 10.5;
// Edges of the band, as fractions of the rate the taps are spaced at; the
// sinc's cut-off lies 0.054 below the stopband edge.
constexpr double kPassbandEdge = 0.395;
constexpr double kStopbandEdge = 0.5;
constexpr double kCutoffBelowStop = 0.054;

// What one stage's filter is made for: it rejects everything from stopEdge
// (Hz) up, with its taps spaced at tapRate (Hz, at most the input rate).
struct StageFilter {
  double stopEdge;
  double tapRate;
};
// One stage on its own: the stopband from the lower rate's Nyquist frequency.
StageFilter singleStageFilter(int32_t inRate, int32_t outRate);
// The first stage towards twice target: guards the target's band only.
StageFilter firstOfTwoStagesFilter(int32_t inRate, int32_t target);

// The rates a conversion passes through, from inRate to outRate: each step
// from one rate to the next is one stage. A single stage unless the target is
// below a quarter of the source; then twice the target comes between. Equal
// rates give the one rate (no stage).
std::vector<int32_t> conversionPath(int32_t inRate, int32_t outRate);

// Output frames of a conversion of inFrames frames: inFrames * out / in,
// rounded to nearest.
int64_t convertedLength(int64_t inFrames, int32_t inRate, int32_t outRate);

}  // namespace resampling

// One stage of conversion from inRate to outRate over any channel count,
// pulling its input from upstream.
class Resampler final : public PlanarStream {
 public:
  Resampler(PlanarStream& upstream, int channels, int32_t inRate, int32_t outRate,
            resampling::StageFilter filter);

  void pull(float* const* channels, int32_t frames) override;
  void restart(int64_t frame) override;

  // Coefficients per output frame (63 taps at the lower rate, padded).
  int taps() const { return m_taps; }

 private:
  void buildKernel();
  void fillRow(double fraction, float* row) const;
  void ensureInput(int64_t lastFrame);

  PlanarStream& m_upstream;
  int m_channels;
  int64_t m_inStep, m_outStep;  // the rates divided by their common divisor
  double m_cutoff;              // of the sinc, cycles per input frame
  double m_halfWidth;           // kernel half width in input frames
  int m_reach;                  // ceil(m_halfWidth): frames used each side
  int m_taps;                   // 2 * m_reach rounded up to a multiple of 8
  bool m_exactPhases;           // a row per phase, or rows blended between
  int m_rows;
  std::vector<float> m_kernel;  // m_rows rows of m_taps coefficients

  // Position of the next output frame: m_index + m_remainder / m_outStep.
  int64_t m_index = 0;
  int64_t m_remainder = 0;

  // Input frames m_bufferStart.. m_bufferStart + m_bufferFrames - 1.
  std::vector<std::vector<float>> m_buffer;
  int64_t m_bufferStart = 0;
  int32_t m_bufferFrames = 0;
  std::vector<float*> m_pullPointers;
  std::vector<int32_t> m_batchOffset;
  std::vector<const float*> m_batchRow;
  std::vector<float> m_blendedRows;
};
