#pragma once
// Linear convolution of a stream with a fixed kernel by overlap-save on
// real FFTs: the cost per sample grows with the log of the transform size,
// not with the kernel's length. One convolver per channel.

#include <vector>

#include "effects/real_fft.h"

class FftConvolver {
 public:
  // The transform size is the smallest power of two of at least four times
  // the kernel's length (at least 64).
  explicit FftConvolver(const std::vector<float>& kernel);

  // Samples taken and given by one process call.
  int blockSize() const { return m_block; }
  // Takes blockSize() new samples and gives blockSize() outputs:
  // out[n] = sum over t of kernel[t] * in[n - t], counting the stream from
  // the first sample after the last reset, with silence before it.
  void process(const float* input, float* output);
  // Forgets the stream's past.
  void reset();

 private:
  RealFft m_fft;
  int m_kernelLength;
  int m_block;
  std::vector<float> m_kernelRe, m_kernelIm;  // the kernel's spectrum, divided by the size
  std::vector<float> m_window;                // the last size samples of the stream
  std::vector<float> m_re, m_im, m_result;
};
