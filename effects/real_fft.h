#pragma once
// Transform of a real frame of N = 2^n samples (n >= 3) into its N/2 + 1
// bins and back, in single precision. A complex transform of N/2 points
// does the work, on the even samples as real and the odd ones as imaginary
// parts. The forward direction scatters them into bit-reversed order while
// packing them and transforms by decimation in time, so that the points come
// out in natural order for the unpacking; the inverse transforms by
// decimation in frequency and gathers from bit-reversed order while
// unpacking. No pass only reorders. Arrays are split into real and
// imaginary parts so that the butterflies vectorise.

#include <cstdint>
#include <vector>

class RealFft {
 public:
  explicit RealFft(int size);

  int size() const { return m_size; }
  int bins() const { return m_size / 2 + 1; }

  // The spectrum of frame[0..size) into re and im [0..bins), unscaled:
  // X[k] = sum of frame[t] e^(-2 pi i k t / N).
  void forward(const float* frame, float* re, float* im);
  // The frame of a spectrum, scaled by N: inverse(forward(x)) = N x. The
  // imaginary parts of bins 0 and N/2 are ignored.
  void inverse(const float* re, const float* im, float* frame);

 private:
  // sign -1: e^(-i ...) twiddles (forward), +1: inverse.
  void decimateInTime(float sign);
  void decimateInFrequency(float sign);

  int m_size;
  int m_half;                      // complex points, N/2
  std::vector<int32_t> m_reversed; // bit-reversed index of each of the N/2 points
  // Twiddles of every butterfly stage with span h (h = 4, 8, ... N/4), stored
  // one stage after the other: cos and sin of pi j / h for j < h.
  std::vector<float> m_stageCos, m_stageSin;
  std::vector<int> m_stageOffset;  // index by log2(h)
  // cos and sin of 2 pi k / N for the real unpacking, k <= N/2.
  std::vector<float> m_unpackCos, m_unpackSin;
  // Working points, with room for point N/2 (a copy of point 0).
  std::vector<float> m_re, m_im;
};
