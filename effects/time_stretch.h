#pragma once
// Changing the speed of a sound without changing its pitch: a phase vocoder
// with phase locking to spectral peaks.
//
// Frames of 2^n frames (about 23 ms at any rate, 2,048 at 44,100 Hz) are cut
// from the input every analysis hop, transformed, given new phases and added
// back every synthesis hop (an eighth of a frame, so eight frames overlap;
// Hann windows on both sides). A factor k reads the input k times as fast:
// the analysis hop is k synthesis hops, kept as whole frames and millionths
// so that long sounds do not drift, and the output is length / k frames.
//
// Phases: each local maximum of the spectrum is taken as a partial; its
// frequency is measured from its phase advance since the previous analysis
// frame (for factors above 2 from an extra frame one synthesis hop earlier,
// which stays unambiguous however far apart the analysis frames are), and its
// phase moves on by that frequency times the synthesis hop. The bins around
// a peak, up to halfway to the next one, keep their phase relation to it,
// which keeps partials and their sidebands together (less of the "phasey"
// sound of a plain vocoder). The peaks and phases are taken from the sum of
// all channels and the same rotation is applied to every channel, so the
// phase relations between channels, and with them the stereo image, pass
// unchanged. Silence resets every phase.

#include <cstdint>
#include <vector>

#include "effects/planar_stream.h"
#include "effects/real_fft.h"

namespace stretching {

// Frame length for a rate: m = rate/32 - (rate/32)/4, then 8 when m <= 8,
// else the smallest 2^n >= m with n >= 4.
int transformSize(int32_t sampleRate);
constexpr int kOverlap = 8;
// The largest factor accepted; beyond it whole stretches of input are skipped.
constexpr double kMaxFactor = 16.0;

}  // namespace stretching

class TimeStretch final : public PlanarStream {
 public:
  // factor in (0, kMaxFactor]; callers check.
  TimeStretch(PlanarStream& upstream, int channels, int32_t sampleRate, double factor);

  void pull(float* const* channels, int32_t frames) override;
  void restart(int64_t frame) override;

  int frameSize() const { return m_size; }
  // Input frames pulled beyond the one the next output frame stands for.
  double inputAhead() const;

 private:
  // Input frame at the centre of analysis frame m.
  int64_t analysisCentre(int64_t frame) const;
  void ensureInput(int64_t first, int64_t last);
  void analyse(int64_t inputStart);
  void lockPhases(int64_t hop);
  void synthesise(int64_t frame);
  void processFrame(int64_t frame);

  PlanarStream& m_upstream;
  int m_channels;
  int m_size, m_hop, m_bins, m_paddedBins;
  int64_t m_hopWhole, m_hopMillionths;
  bool m_useReference;
  RealFft m_fft;
  std::vector<float> m_window, m_synthesisWindow;

  // Input frames m_inputStart .. m_inputStart + m_inputFrames - 1.
  std::vector<std::vector<float>> m_input;
  int64_t m_inputStart = 0;
  int32_t m_inputFrames = 0;
  std::vector<float*> m_pullPointers;

  // Spectra of the current frame: per channel, their sum, and the sum's
  // previous analysis and synthesis values (split real and imaginary parts).
  std::vector<std::vector<float>> m_re, m_im;
  std::vector<float> m_sumRe, m_sumIm, m_lastRe, m_lastIm, m_outRe, m_outIm;
  std::vector<float> m_power, m_rotRe, m_rotIm, m_frame;
  std::vector<int> m_peaks;          // bins of this frame's peaks
  std::vector<int32_t> m_peakFlags;  // -1 where a bin is a peak
  std::vector<float> m_peakRotRe, m_peakRotIm;  // rotation of each peak
  std::vector<int32_t> m_regionStarts;  // 1 where a peak's region begins
  bool m_havePrevious = false;
  int64_t m_previousCentre = 0;

  // Output: m_overlap holds blocks m_block .. m_block + 7 of one hop each.
  std::vector<std::vector<float>> m_overlap;
  int64_t m_block = 0;
  int32_t m_blockUsed = 0;    // frames of block m_block already handed out
  int64_t m_nextFrame = 0;    // next analysis/synthesis frame to compute
};
