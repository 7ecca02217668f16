#include "effects/spectrum_fft.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace {

// Two doubles processed as one by the compiler's vector extension (SSE2 on
// x86-64, natively and with MinGW); memcpy so that no alignment is assumed.
using Double2 = double __attribute__((vector_size(16)));

Double2 load2(const double* from) {
  Double2 value;
  std::memcpy(&value, from, sizeof value);
  return value;
}

void store2(double* to, Double2 value) { std::memcpy(to, &value, sizeof value); }

}  // namespace

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
  m_stageCos.resize(std::max(m_size, 4));
  m_stageSin.resize(std::max(m_size, 4));
  for (int h = 4; h < m_size; h *= 2)
    for (int j = 0; j < h; ++j) {
      m_stageCos[h + j] = m_cos[j * (m_size / (2 * h))];
      m_stageSin[h + j] = -m_sin[j * (m_size / (2 * h))];
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
  // Decimation in time. Spans 1 and 2 need no multiplication (twiddles 1
  // and -i); the longer spans take their twiddles e^(-i pi j / h) in order.
  if (m_size >= 2) {
    for (int a = 0; a < m_size; a += 2) {
      const double br = re[a + 1], bi = im[a + 1];
      re[a + 1] = re[a] - br;
      im[a + 1] = im[a] - bi;
      re[a] += br;
      im[a] += bi;
    }
  }
  if (m_size >= 4) {
    for (int a = 0; a < m_size; a += 4) {
      double br = re[a + 2], bi = im[a + 2];
      re[a + 2] = re[a] - br;
      im[a + 2] = im[a] - bi;
      re[a] += br;
      im[a] += bi;
      // times -i
      br = im[a + 3];
      bi = -re[a + 3];
      re[a + 3] = re[a + 1] - br;
      im[a + 3] = im[a + 1] - bi;
      re[a + 1] += br;
      im[a + 1] += bi;
    }
  }
  for (int h = 4; h < m_size; h *= 2) {
    const double* wc = &m_stageCos[h];
    const double* ws = &m_stageSin[h];
    for (int block = 0; block < m_size; block += 2 * h) {
      double* ar = re + block;
      double* ai = im + block;
      double* br = ar + h;
      double* bi = ai + h;
      for (int j = 0; j < h; j += 2) {
        const Double2 c = load2(wc + j), s = load2(ws + j);
        const Double2 yr = load2(br + j), yi = load2(bi + j);
        const Double2 tr = yr * c - yi * s, ti = yi * c + yr * s;
        const Double2 xr = load2(ar + j), xi = load2(ai + j);
        store2(br + j, xr - tr);
        store2(bi + j, xi - ti);
        store2(ar + j, xr + tr);
        store2(ai + j, xi + ti);
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
