#include "effects/spectrum_fft.h"

#include <cmath>
#include <numbers>
#include <utility>

SpectrumFft::SpectrumFft(int order) : m_order(order), m_size(1 << order) {
  m_reversed.resize(m_size);
  for (int i = 0; i < m_size; ++i) {
    int reversed = 0;
    for (int b = 0; b < m_order; ++b)
      if (i & (1 << b)) reversed |= 1 << (m_order - 1 - b);
    m_reversed[i] = reversed;
  }
  m_cos.resize(m_size);
  m_sin.resize(m_size);
  m_window.resize(m_size);
  for (int k = 0; k < m_size; ++k) {
    const double angle = 2 * std::numbers::pi * k / m_size;
    m_cos[k] = std::cos(angle);
    m_sin[k] = std::sin(angle);
    m_window[k] = 0.54 - 0.46 * m_cos[k];
  }
  m_re.resize(m_size);
  m_im.resize(m_size);
}

void SpectrumFft::loadChannel(const Sample* frames, int channels, int channel) {
  for (int i = 0; i < m_size; ++i) {
    m_re[i] = frames[static_cast<size_t>(i) * channels + channel] * m_window[i];
    m_im[i] = 0;
  }
}

void SpectrumFft::loadStereo(const Sample* frames) {
  for (int i = 0; i < m_size; ++i) {
    m_re[i] = frames[2 * i] * m_window[i];
    m_im[i] = frames[2 * i + 1] * m_window[i];
  }
}

void SpectrumFft::transform() {
  double* re = m_re.data();
  double* im = m_im.data();
  for (int i = 0; i < m_size; ++i) {
    const int j = m_reversed[i];
    if (j > i) {
      std::swap(re[i], re[j]);
      std::swap(im[i], im[j]);
    }
  }
  // Decimation in time: butterflies of span h use the twiddle e^(-2 pi i j / 2h),
  // which is entry j * (N / 2h) of the tables.
  for (int h = 1; h < m_size; h *= 2) {
    const int stride = m_size / (2 * h);
    for (int block = 0; block < m_size; block += 2 * h) {
      for (int j = 0; j < h; ++j) {
        const double c = m_cos[j * stride], s = -m_sin[j * stride];
        const int a = block + j, b = a + h;
        const double tr = re[b] * c - im[b] * s;
        const double ti = im[b] * c + re[b] * s;
        re[b] = re[a] - tr;
        im[b] = im[a] - ti;
        re[a] += tr;
        im[a] += ti;
      }
    }
  }
}

double SpectrumFft::magnitude(int bin) const { return std::sqrt(m_re[bin] * m_re[bin] + m_im[bin] * m_im[bin]); }

void SpectrumFft::stereoMagnitudes(int bin, double& left, double& right) const {
  // With Z the transform of l + i r: L[k] = (Z[k] + conj Z[N-k]) / 2 and
  // R[k] = (Z[k] - conj Z[N-k]) / 2i; only their sizes are wanted.
  const int mirror = (m_size - bin) & (m_size - 1);
  const double zr = m_re[bin], zi = m_im[bin], mr = m_re[mirror], mi = m_im[mirror];
  const double lr = zr + mr, li = zi - mi, rr = zi + mi, ri = zr - mr;
  left = 0.5 * std::sqrt(lr * lr + li * li);
  right = 0.5 * std::sqrt(rr * rr + ri * ri);
}
