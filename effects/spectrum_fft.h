#pragma once
// The transform behind both analysis windows: a radix-2 complex FFT of
// N = 2^order points in double precision over two arrays (real and
// imaginary parts), with the periodic Hamming window
// w(i) = 0.54 - 0.46 cos(2 pi i / N) applied while a block of frames is
// loaded. Double precision keeps the rounding noise of a pure tone far
// below the -127 dB floor of the displays, which a float transform does not.

#include <cstdint>
#include <vector>

#include "core/sample.h"

class SpectrumFft {
 public:
  // order 1 ... 20.
  explicit SpectrumFft(int order);

  int order() const { return m_order; }
  int size() const { return m_size; }

  // One channel of size() interleaved frames, windowed, into the real parts;
  // the imaginary parts are cleared.
  void loadChannel(const Sample* frames, int channels, int channel);
  // Both channels of size() stereo frames at once: left into the real parts,
  // right into the imaginary parts. After transform(), stereoMagnitudes()
  // separates the two spectra, so one transform serves two channels.
  void loadStereo(const Sample* frames);
  // The forward transform in place: X[k] = sum of x[t] e^(-2 pi i k t / N).
  void transform();

  // |X[k]| after loadChannel and transform.
  double magnitude(int bin) const;
  // |L[k]| and |R[k]| after loadStereo and transform.
  void stereoMagnitudes(int bin, double& left, double& right) const;

  const std::vector<double>& re() const { return m_re; }
  const std::vector<double>& im() const { return m_im; }
  double window(int i) const { return m_window[i]; }

 private:
  int m_order;
  int m_size;
  std::vector<int32_t> m_reversed;   // bit-reversed index of each point
  std::vector<double> m_cos, m_sin;  // cos and sin of 2 pi k / N, k < N
  // The twiddles of the butterflies of span h (h = 4, 8, ... N/2) side by
  // side at [h, 2h): cos and -sin of pi j / h, so each stage reads them in
  // order, two at a time.
  std::vector<double> m_stageCos, m_stageSin;
  std::vector<double> m_window;
  std::vector<double> m_re, m_im;
};
