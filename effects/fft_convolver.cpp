#include "effects/fft_convolver.h"

#include <algorithm>

namespace {

int transformSizeFor(size_t kernelLength) {
  int size = 64;
  while (static_cast<size_t>(size) < 4 * kernelLength) size *= 2;
  return size;
}

}  // namespace

FftConvolver::FftConvolver(const std::vector<float>& kernel)
    : m_fft(transformSizeFor(kernel.size())),
      m_kernelLength(static_cast<int>(std::max<size_t>(kernel.size(), 1))),
      m_block(m_fft.size() - m_kernelLength + 1) {
  const int size = m_fft.size(), bins = m_fft.bins();
  std::vector<float> padded(size, 0.0f);
  std::copy(kernel.begin(), kernel.end(), padded.begin());
  m_kernelRe.resize(bins);
  m_kernelIm.resize(bins);
  m_fft.forward(padded.data(), m_kernelRe.data(), m_kernelIm.data());
  const float scale = 1.0f / static_cast<float>(size);
  for (int k = 0; k < bins; ++k) m_kernelRe[k] *= scale, m_kernelIm[k] *= scale;
  m_window.assign(size, 0.0f);
  m_re.resize(bins);
  m_im.resize(bins);
  m_result.resize(size);
}

void FftConvolver::reset() { std::fill(m_window.begin(), m_window.end(), 0.0f); }

void FftConvolver::process(const float* input, float* output) {
  const int size = m_fft.size(), bins = m_fft.bins(), keep = m_kernelLength - 1;
  // The window holds the kernel's length less one samples of the past, then the new block.
  std::copy(m_window.end() - keep, m_window.end(), m_window.begin());
  std::copy(input, input + m_block, m_window.begin() + keep);
  m_fft.forward(m_window.data(), m_re.data(), m_im.data());
  for (int k = 0; k < bins; ++k) {
    const float re = m_re[k] * m_kernelRe[k] - m_im[k] * m_kernelIm[k];
    const float im = m_re[k] * m_kernelIm[k] + m_im[k] * m_kernelRe[k];
    m_re[k] = re;
    m_im[k] = im;
  }
  m_fft.inverse(m_re.data(), m_im.data(), m_result.data());
  // The first keep outputs wrapped around the circle; the rest are linear.
  std::copy(m_result.begin() + keep, m_result.begin() + size, output);
}
